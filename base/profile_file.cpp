#include "base/profile_file.h"

#include "base/atomic_file.h"
#include "base/code_page.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Blanks around names and values: blank and tab, and the CR, vertical tab, form feed and Ctrl-Z
// (0x1A, the old end-of-file mark) that files from other systems carry. A table, since this is
// asked for every line read and every key looked up.
constexpr std::array<bool, 256> kBlanks = [] {
    std::array<bool, 256> blanks{};
    for (unsigned char c : {' ', '\t', '\r', '\v', '\f', '\x1A'})
        blanks[c] = true;
    return blanks;
}();

[[gnu::always_inline]] inline bool IsBlank(char c) {
    return kBlanks[static_cast<unsigned char>(c)];
}

// Whether text is plain ASCII, which needs no conversion. No early exit, so it vectorises.
bool IsAscii(std::string_view text) {
    unsigned char bits = 0;
    for (char c : text)
        bits |= static_cast<unsigned char>(c);
    return bits < 0x80;
}

// Called for every line read and every key looked up: kept inline.
[[gnu::always_inline]] inline std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != text.npos;
}

// True for a section line: '[' first and a ']' after it. The name runs to the last ']', so
// "[B]]" is the section "B]"; a line with '[' but no ']' is an ordinary line.
bool SectionNameOf(std::string_view line, std::string_view& name) {
    std::size_t first = 0;
    while (first < line.size() && IsBlank(line[first]))
        ++first;
    if (first == line.size() || line[first] != '[')
        return false;
    std::string_view trimmed = Trim(line.substr(first));
    auto close = trimmed.rfind(']');
    if (close == trimmed.npos)
        return false;
    name = Trim(trimmed.substr(1, close - 1));
    return true;
}

// The key of a line: the text before '=', or the whole line when it has no '=' (a key without a
// value, which reads as ""). Empty for blank lines.
std::string_view KeyOf(std::string_view line) {
    auto equals = line.find('=');
    return Trim(equals == line.npos ? line : line.substr(0, equals));
}

// The value of a line as a reader sees it, as UTF-8: trimmed, one pair of enclosing quotes
// removed, cut to the maximum length in characters of the file's text. The cut follows the
// Windows profile functions exactly, quirk included: they copy the value after the opening quote
// into a buffer of kMaxValueLength characters and then drop the closing quote, or, when the value
// filled the buffer to the last character but one, the last character of the value.
std::string ValueOf(std::string_view line, bool utf8File) {
    constexpr std::size_t kMax = CProfileFile::kMaxValueLength;
    auto equals = line.find('=');
    if (equals == line.npos)
        return {};
    std::string_view value = Trim(line.substr(equals + 1));
    const bool ascii = IsAscii(value);
    if (ascii && value.size() <= kMax &&
        (value.empty() || (value.front() != '"' && value.front() != '\'')))
        return std::string(value); // the common case: nothing to cut, decode or unquote
    const bool utf8 = !ascii && (utf8File || nivra::IsMultiByteUtf8(value));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        std::string_view rest = value.substr(1); // with the closing quote
        const std::size_t length = nivra::CharacterCount(rest, utf8);
        std::size_t kept = length < kMax ? length : kMax;
        if (length <= kMax + 1)
            --kept;
        value = rest.substr(0, nivra::PrefixBytes(rest, kept, utf8));
    } else {
        value = value.substr(0, nivra::PrefixBytes(value, kMax, utf8));
    }
    if (ascii)
        return std::string(value);
    if (!utf8)
        return nivra::Cp1252ToUtf8(value);
    return utf8File ? nivra::RepairUtf8(value) : std::string(value);
}

// CR, LF and CR LF inside a value each become one blank.
std::string OneLine(std::string value) {
    if (!HasLineBreak(value))
        return value;
    std::string line;
    line.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\r') {
            line += ' ';
            if (i + 1 < value.size() && value[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            line += ' ';
        } else {
            line += c;
        }
    }
    return line;
}

char LowerChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerChar(a[i]) != LowerChar(b[i]))
            return false;
    return true;
}

std::uint32_t NameHash(std::string_view name) {
    std::uint32_t hash = 2166136261u; // FNV-1a over the lower-case bytes
    for (char c : name) {
        hash ^= static_cast<unsigned char>(LowerChar(c));
        hash *= 16777619u;
    }
    return hash;
}

// The keys of one section: an open-addressing table from key to line number. The keys are not
// stored again; a probe compares against the key of the line itself, which keeps a section of a
// million keys compact and its look-ups free of allocations.
class KeyIndex {
public:
    // The line holding key, or npos.
    template <typename Lines> std::size_t Find(std::string_view key, const Lines& lines) const {
        if (slots_.empty())
            return std::string::npos;
        std::uint32_t hash = NameHash(key);
        for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
            std::uint64_t slot = slots_[i];
            if (slot == 0)
                return std::string::npos;
            std::size_t line = static_cast<std::uint32_t>(slot) - 1;
            if ((slot >> 32) == hash && SameName(KeyOf(lines[line]), key))
                return line;
        }
    }

    // Records that line holds key; the caller has checked that key is not present yet.
    void Add(std::string_view key, std::size_t line) {
        if ((count_ + 1) * 2 > slots_.size())
            Grow();
        Place(NameHash(key), line);
        ++count_;
    }

private:
    void Place(std::uint32_t hash, std::size_t line) {
        std::size_t i = hash & mask_;
        while (slots_[i] != 0)
            i = (i + 1) & mask_;
        slots_[i] = (static_cast<std::uint64_t>(hash) << 32) | static_cast<std::uint32_t>(line + 1);
    }

    void Grow() {
        std::vector<std::uint64_t> old = std::move(slots_);
        slots_.assign(old.empty() ? 16 : old.size() * 2, 0);
        mask_ = slots_.size() - 1;
        for (std::uint64_t slot : old)
            if (slot != 0)
                Place(static_cast<std::uint32_t>(slot >> 32), static_cast<std::uint32_t>(slot) - 1);
    }

    std::vector<std::uint64_t> slots_;
    std::size_t mask_ = 0;
    std::size_t count_ = 0;
};

} // namespace

struct CProfileFile::Content {
    struct Section {
        std::string header; // the section line as it stands in the file; none for the first
        std::vector<std::string> lines;
        KeyIndex keys; // first line of each key
        // Files are mostly read and written key after key in file order (P0, P1, ...): the line
        // after the last one found is tried first, which saves the index's random memory access.
        // Only sound while no key appears twice, since the index must then pick the first.
        std::size_t nextLine = 0;
        bool duplicateKeys = false;

        std::size_t FindKey(std::string_view key) {
            if (!duplicateKeys && nextLine < lines.size() && SameName(KeyOf(lines[nextLine]), key))
                return nextLine++;
            std::size_t line = keys.Find(key, lines);
            if (line != std::string::npos)
                nextLine = line + 1;
            return line;
        }

        void AddLine(std::string_view line) {
            std::string_view key = KeyOf(line);
            if (!key.empty()) {
                if (keys.Find(key, lines) == std::string::npos)
                    keys.Add(key, lines.size());
                else
                    duplicateKeys = true;
            }
            lines.emplace_back(line);
        }
    };

    // sections[0] holds the lines before the first section line. It has no section line of its
    // own and answers to the empty section name, so keys before the first section are read and
    // written as the keys of section "".
    std::vector<Section> sections = std::vector<Section>(1);
    std::unordered_map<std::string, std::size_t> sectionIndex{{"", 0}}; // lower-case -> first
    // A file that starts with the UTF-8 byte-order mark holds UTF-8 text and keeps the mark;
    // every other file holds Windows-1252 text.
    bool utf8 = false;

    // Lines end in CR LF, LF or a lone CR.
    void Parse(std::string_view bytes) {
        if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
            utf8 = true;
            bytes.remove_prefix(kUtf8Mark.size());
        }
        Section* current = &sections.front();
        // memchr finds the next LF, and a CR before it; the LF found is kept while lines end in
        // lone CRs before it, so a file of CR-only lines is read in one pass too.
        const auto nextLf = [bytes](std::size_t from) {
            const void* found = std::memchr(bytes.data() + from, '\n', bytes.size() - from);
            return found ? static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data())
                         : bytes.size();
        };
        std::size_t start = 0;
        std::size_t lf = nextLf(0); // the next LF at or after start, or the end of the text
        while (start < bytes.size()) {
            if (lf < start)
                lf = nextLf(start);
            std::size_t end = lf;
            std::size_t next = lf + 1;
            if (const void* cr = std::memchr(bytes.data() + start, '\r', lf - start)) {
                end = static_cast<std::size_t>(static_cast<const char*>(cr) - bytes.data());
                if (end + 1 < lf || lf == bytes.size())
                    next = end + 1; // a lone CR ends the line; else it is the CR of a CR LF
            }
            std::string_view line = bytes.substr(start, end - start);
            start = next;

            std::string_view name;
            if (SectionNameOf(line, name)) {
                sectionIndex.emplace(Lower(name), sections.size());
                sections.emplace_back().header = std::string(line);
                current = &sections.back();
            } else {
                current->AddLine(line);
            }
        }
    }

    // A name or value of the program (UTF-8) as this file's text.
    std::string FileText(std::string_view text) const {
        return utf8 ? nivra::RepairUtf8(text) : nivra::Utf8ToCp1252(text);
    }
    // The same for a name, kept in buffer only when it is not ASCII (names nearly always are).
    std::string_view FileName(std::string_view text, std::string& buffer) const {
        if (IsAscii(text))
            return text;
        buffer = FileText(text);
        return buffer;
    }

    Section* Find(std::string_view section) {
        auto it = sectionIndex.find(Lower(Trim(section)));
        return it == sectionIndex.end() ? nullptr : &sections[it->second];
    }

    // Find for a name of the program. Readers ask for the same section key after key, so the
    // last name found is remembered as it was given.
    Section* FindForReading(const std::string& section) {
        if (lastFound != std::string::npos && section == lastAsked)
            return &sections[lastFound];
        std::string buffer;
        Section* found = Find(FileName(section, buffer));
        if (found) {
            lastAsked = section;
            lastFound = static_cast<std::size_t>(found - sections.data());
        }
        return found;
    }
    std::string lastAsked;
    std::size_t lastFound = std::string::npos; // reset whenever sections are removed

    Section& FindOrAdd(std::string_view section) {
        if (Section* found = Find(section))
            return *found;
        std::string name(Trim(section));
        sectionIndex.emplace(Lower(name), sections.size());
        sections.emplace_back().header = "[" + name + "]";
        return sections.back();
    }

    void Set(Section& section, std::string_view key, std::string_view value) {
        std::string line;
        line.reserve(key.size() + 1 + value.size());
        line.append(key).append(1, '=').append(value);
        std::size_t existing = section.FindKey(key);
        if (existing != std::string::npos) {
            section.lines[existing] = std::move(line);
            return;
        }
        // A new key goes after the last non-blank line of its section, so the blank lines that
        // separate sections in hand-edited files stay where they are.
        std::size_t at = section.lines.size();
        while (at > 0 && Trim(section.lines[at - 1]).empty())
            --at;
        section.lines.insert(section.lines.begin() + static_cast<std::ptrdiff_t>(at),
                             std::move(line));
        section.keys.Add(key, at); // only blank lines follow it, and they hold no key
    }

    // Removes every section of that name; the lines before the first section are only emptied.
    void Remove(std::string_view section) {
        std::string lower = Lower(Trim(section));
        std::vector<Section> kept;
        kept.reserve(sections.size());
        for (std::size_t i = 0; i < sections.size(); ++i) {
            std::string_view name;
            SectionNameOf(sections[i].header, name);
            if (i == 0 && lower.empty())
                kept.emplace_back();
            else if (i == 0 || Lower(name) != lower)
                kept.push_back(std::move(sections[i]));
        }
        sections = std::move(kept);
        lastFound = std::string::npos;
        sectionIndex.clear();
        sectionIndex.emplace("", 0);
        for (std::size_t i = 1; i < sections.size(); ++i) {
            std::string_view name;
            SectionNameOf(sections[i].header, name);
            sectionIndex.emplace(Lower(name), i);
        }
    }

    std::string Serialize() const {
        std::size_t size = utf8 ? kUtf8Mark.size() : 0;
        for (const auto& section : sections) {
            size += section.header.size() + 2;
            for (const auto& line : section.lines)
                size += line.size() + 2;
        }
        std::string bytes;
        bytes.reserve(size);
        if (utf8)
            bytes += kUtf8Mark;
        auto put = [&bytes](const std::string& line) {
            bytes += line;
            bytes += "\r\n";
        };
        for (std::size_t i = 0; i < sections.size(); ++i) {
            if (i > 0)
                put(sections[i].header);
            for (const auto& line : sections[i].lines)
                put(line);
        }
        return bytes;
    }
};

CProfileFile::CProfileFile(std::string path) : path_(std::move(path)) {}

CProfileFile::~CProfileFile() {
    Flush();
}

bool CProfileFile::EnsureLoaded() {
    if (content_)
        return readError_.empty();
    content_ = std::make_unique<Content>();
    // Non-blocking, so that a FIFO named by mistake cannot hang the program; the type is checked
    // before anything is read.
    int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno != ENOENT)
            readError_ = std::strerror(errno); // a missing file reads as an empty one
        return readError_.empty();
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        readError_ = std::strerror(errno);
    } else if (S_ISDIR(st.st_mode)) {
        readError_ = "it is a folder";
    } else if (!S_ISREG(st.st_mode)) {
        readError_ = "it is not a regular file";
    } else {
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(st.st_size));
        char buffer[65536];
        for (;;) {
            ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                readError_ = std::strerror(errno);
            if (got <= 0)
                break;
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
        if (readError_.empty())
            content_->Parse(bytes);
    }
    ::close(fd);
    return readError_.empty();
}

const std::string& CProfileFile::ReadError() {
    EnsureLoaded();
    return readError_;
}

bool CProfileFile::CanWrite() {
    if (writable_ < 0)
        writable_ = nivra::CanWriteFile(path_) ? 1 : 0;
    return writable_ == 1;
}

std::string CProfileFile::ReadString(const std::string& key, const std::string& section) {
    EnsureLoaded();
    std::string keyBuffer;
    const std::string_view name = content_->FileName(Trim(key), keyBuffer);
    Content::Section* found = content_->FindForReading(section);
    if (!found || name.empty())
        return {};
    std::size_t line = found->FindKey(name);
    return line == std::string::npos ? std::string{} : ValueOf(found->lines[line], content_->utf8);
}

int CProfileFile::WriteString(const std::string& value, const std::string& key,
                              const std::string& section) {
    std::string_view name = Trim(key);
    if (name.empty() || name.front() == '[' || key.find('=') != key.npos || HasLineBreak(key))
        return 0;
    if (HasLineBreak(section))
        return 0;
    if (!CanWrite() || !EnsureLoaded())
        return 0;
    content_->Set(content_->FindOrAdd(content_->FileText(section)), content_->FileText(name),
                  content_->FileText(OneLine(value)));
    dirty_ = true;
    return 1;
}

int CProfileFile::WriteBool(bool value, const std::string& key, const std::string& section) {
    return WriteString(value ? "true" : "false", key, section);
}

int CProfileFile::DeleteSection(const std::string& section) {
    if (!CanWrite() || !EnsureLoaded())
        return 0;
    const std::string name = content_->FileText(section);
    if (content_->Find(name)) {
        content_->Remove(name);
        dirty_ = true;
    }
    return 1;
}

bool CProfileFile::Flush() {
    if (!dirty_)
        return true;
    if (!CanWrite() || !nivra::ReplaceFileAtomically(path_, content_->Serialize()))
        return false;
    dirty_ = false;
    return true;
}
