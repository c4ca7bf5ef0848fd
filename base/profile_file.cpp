#include "base/profile_file.h"

#include "base/atomic_file.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
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

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != text.npos;
}

// The key of a key line, or an empty view for lines that hold no key.
std::string_view KeyOf(std::string_view line) {
    auto equals = line.find('=');
    if (equals == line.npos)
        return {};
    return Trim(line.substr(0, equals));
}

// The value of a key line as a reader sees it: trimmed, one pair of enclosing quotes removed,
// cut to the maximum length.
std::string ValueOf(std::string_view line) {
    auto equals = line.find('=');
    std::string_view value =
        equals == line.npos ? std::string_view{} : Trim(line.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    if (value.size() > CProfileFile::kMaxValueLength)
        value = value.substr(0, CProfileFile::kMaxValueLength);
    return std::string(value);
}

// True for a section line ("[name]"), whose name is stored in name.
bool SectionNameOf(std::string_view line, std::string_view& name) {
    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() != '[')
        return false;
    trimmed.remove_prefix(1);
    auto close = trimmed.find(']');
    name = Trim(close == trimmed.npos ? trimmed : trimmed.substr(0, close));
    return true;
}

// CR, LF and CR LF inside a value each become one blank.
std::string OneLine(const std::string& value) {
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
        std::string header; // the section line as it stands in the file
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
    };

    std::vector<std::string> preamble; // lines before the first section
    std::vector<Section> sections;
    std::unordered_map<std::string, std::size_t> sectionIndex; // lower-case name -> first

    void Parse(const std::string& bytes) {
        Section* current = nullptr;
        std::size_t start = 0;
        while (start < bytes.size()) {
            std::size_t end = bytes.find('\n', start);
            if (end == std::string::npos)
                end = bytes.size();
            std::string_view line(bytes.data() + start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            start = end + 1;

            std::string_view name;
            if (SectionNameOf(line, name)) {
                sectionIndex.emplace(Lower(name), sections.size());
                sections.emplace_back().header = std::string(line);
                current = &sections.back();
            } else if (current) {
                std::string_view key = KeyOf(line);
                if (!key.empty()) {
                    if (current->keys.Find(key, current->lines) == std::string::npos)
                        current->keys.Add(key, current->lines.size());
                    else
                        current->duplicateKeys = true;
                }
                current->lines.emplace_back(line);
            } else {
                preamble.emplace_back(line);
            }
        }
    }

    Section* Find(const std::string& section) {
        auto it = sectionIndex.find(Lower(Trim(section)));
        return it == sectionIndex.end() ? nullptr : &sections[it->second];
    }

    Section& FindOrAdd(const std::string& section) {
        if (Section* found = Find(section))
            return *found;
        std::string name(Trim(section));
        sectionIndex.emplace(Lower(name), sections.size());
        sections.emplace_back().header = "[" + name + "]";
        return sections.back();
    }

    void Set(Section& section, const std::string& key, const std::string& value) {
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
        section.keys.Add(key, at);
    }

    void Remove(const std::string& section) {
        std::string lower = Lower(Trim(section));
        std::vector<Section> kept;
        kept.reserve(sections.size());
        for (auto& s : sections) {
            std::string_view name;
            SectionNameOf(s.header, name);
            if (Lower(name) != lower)
                kept.push_back(std::move(s));
        }
        sections = std::move(kept);
        sectionIndex.clear();
        for (std::size_t i = 0; i < sections.size(); ++i) {
            std::string_view name;
            SectionNameOf(sections[i].header, name);
            sectionIndex.emplace(Lower(name), i);
        }
    }

    std::string Serialize() const {
        std::size_t size = 0;
        for (const auto& line : preamble)
            size += line.size() + 2;
        for (const auto& section : sections) {
            size += section.header.size() + 2;
            for (const auto& line : section.lines)
                size += line.size() + 2;
        }
        std::string bytes;
        bytes.reserve(size);
        auto put = [&bytes](const std::string& line) {
            bytes += line;
            bytes += "\r\n";
        };
        for (const auto& line : preamble)
            put(line);
        for (const auto& section : sections) {
            put(section.header);
            for (const auto& line : section.lines)
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
        return true;
    content_ = std::make_unique<Content>();
    int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return true; // a missing file reads as an empty one
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(st.st_size));
        char buffer[65536];
        for (;;) {
            ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
        content_->Parse(bytes);
    }
    ::close(fd);
    return true;
}

bool CProfileFile::CanWrite() {
    if (writable_ < 0)
        writable_ = nivra::CanWriteFile(path_) ? 1 : 0;
    return writable_ == 1;
}

std::string CProfileFile::ReadString(const std::string& key, const std::string& section) {
    EnsureLoaded();
    Content::Section* found = content_->Find(section);
    if (!found)
        return {};
    std::size_t line = found->FindKey(Trim(key));
    return line == std::string::npos ? std::string{} : ValueOf(found->lines[line]);
}

int CProfileFile::WriteString(const std::string& value, const std::string& key,
                              const std::string& section) {
    std::string_view name = Trim(key);
    if (name.empty() || key.find('=') != key.npos || HasLineBreak(key))
        return 0;
    if (section.find(']') != section.npos || HasLineBreak(section))
        return 0;
    if (!CanWrite())
        return 0;
    EnsureLoaded();
    content_->Set(content_->FindOrAdd(section), std::string(name), OneLine(value));
    dirty_ = true;
    return 1;
}

int CProfileFile::WriteBool(bool value, const std::string& key, const std::string& section) {
    return WriteString(value ? "true" : "false", key, section);
}

int CProfileFile::DeleteSection(const std::string& section) {
    if (!CanWrite())
        return 0;
    EnsureLoaded();
    if (content_->Find(section)) {
        content_->Remove(section);
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
