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
//
// Each slot is a one-byte tag (0 for an empty slot, else seven bits of the key's hash) and, in
// a separate array, the line number. A probe walks the tags and reads a line only where the tag
// matches. Keys indexed or looked up many at once (a file read, a batch of writes) are taken in
// the order of the table's blocks, so that each block is worked on while it is in the cache: one
// key after the other would touch the table at random, a cache miss per key once the table
// outgrows the cache.
class KeyIndex {
public:
    // The line holding key, or npos.
    template <typename Lines> std::size_t Find(std::string_view key, const Lines& lines) const {
        if (tags_.empty())
            return std::string::npos;
        const std::uint32_t hash = NameHash(key);
        const std::uint8_t tag = TagOf(hash);
        for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
            if (tags_[i] == 0)
                return std::string::npos;
            if (tags_[i] == tag && SameName(KeyOf(lines[lines_[i]]), key))
                return lines_[i];
        }
    }

    // Records that line holds key; the caller has checked that key is not present yet and has
    // already put the line into lines.
    template <typename Lines> void Add(std::string_view key, std::size_t line, const Lines& lines) {
        if ((count_ + 1) * 2 > tags_.size()) {
            Build(lines); // indexes the new line too
            return;
        }
        const std::uint32_t hash = NameHash(key);
        std::size_t i = hash & mask_;
        while (tags_[i] != 0)
            i = (i + 1) & mask_;
        Fill(i, Entry(hash, static_cast<std::uint32_t>(line)));
    }

    // Indexes the keys of all lines anew, with room for at least minKeys keys; returns false
    // when a key appears more than once, each key then answering with its first line.
    template <typename Lines> bool Build(const Lines& lines, std::size_t minKeys = 0) {
        std::vector<std::uint64_t> entries; // hash << 32 | line, for the lines that hold a key
        entries.reserve(lines.size());
        for (std::size_t line = 0; line < lines.size(); ++line) {
            const std::string_view key = KeyOf(lines[line]);
            if (!key.empty())
                entries.push_back(Entry(NameHash(key), static_cast<std::uint32_t>(line)));
        }
        Allocate(std::max(entries.size(), minKeys));
        const auto keyText = [&lines](std::uint32_t line) { return KeyOf(lines[line]); };
        bool unique = true;
        for (std::uint64_t entry : BlockSorted(std::move(entries))) {
            bool found = false;
            const std::size_t i = Probe(entry, keyText, found);
            if (found)
                unique = false;
            else
                Fill(i, entry);
        }
        return unique;
    }

    // Makes room for keys keys in all.
    template <typename Lines> void Reserve(std::size_t keys, const Lines& lines) {
        if ((keys + 1) * 2 > tags_.size())
            Build(lines, keys);
    }

    // Looks up a batch of keys at once; the caller has made room for all of them (Reserve).
    // Batch entry j has the hash hashes[j] and stands for the line number base + j, above every
    // line of the section; keyText gives the key of any line number, either kind. For each entry
    // found[j] is the line number that holds its key: a line of the section, an earlier entry
    // of the batch with the same key, or base + j itself for a key seen for the first time,
    // which is indexed under base + j until Renumber gives it its line.
    template <typename KeyText>
    void LookUpBatch(const std::vector<std::uint32_t>& hashes, std::uint32_t base, KeyText keyText,
                     std::vector<std::uint32_t>& found) {
        std::vector<std::uint64_t> entries(hashes.size());
        for (std::size_t j = 0; j < hashes.size(); ++j)
            entries[j] = Entry(hashes[j], base + static_cast<std::uint32_t>(j));
        found.assign(hashes.size(), 0);
        for (std::uint64_t entry : BlockSorted(std::move(entries))) {
            bool known = false;
            const std::size_t i = Probe(entry, keyText, known);
            if (!known)
                Fill(i, entry);
            found[static_cast<std::uint32_t>(entry) - base] = known ? lines_[i] : LineOf(entry);
        }
    }

    // Gives the keys LookUpBatch indexed under base + j their lines: lineOf(j).
    template <typename LineOfEntry> void Renumber(std::uint32_t base, LineOfEntry lineOf) {
        for (std::size_t i = 0; i < tags_.size(); ++i)
            if (tags_[i] != 0 && lines_[i] >= base)
                lines_[i] = static_cast<std::uint32_t>(lineOf(lines_[i] - base));
    }

    std::size_t Count() const { return count_; }

private:
    static constexpr std::size_t kBlockSlots = 65536;

    static std::uint64_t Entry(std::uint32_t hash, std::uint32_t line) {
        return (static_cast<std::uint64_t>(hash) << 32) | line;
    }
    static std::uint32_t HashOf(std::uint64_t entry) {
        return static_cast<std::uint32_t>(entry >> 32);
    }
    static std::uint32_t LineOf(std::uint64_t entry) { return static_cast<std::uint32_t>(entry); }

    static std::uint8_t TagOf(std::uint32_t hash) {
        return static_cast<std::uint8_t>(1 + (hash >> 25));
    }

    void Allocate(std::size_t keys) {
        std::size_t size = 16;
        while (size < (keys + 1) * 2)
            size *= 2;
        tags_.assign(size, 0);
        lines_.assign(size, 0);
        mask_ = size - 1;
        count_ = 0;
    }

    void Fill(std::size_t slot, std::uint64_t entry) {
        tags_[slot] = TagOf(HashOf(entry));
        lines_[slot] = LineOf(entry);
        ++count_;
    }

    // The slot holding the key of the entry's line, with found set, or the empty slot where it
    // belongs. The lines are read only where the tags agree.
    template <typename KeyText>
    std::size_t Probe(std::uint64_t entry, KeyText keyText, bool& found) const {
        const std::uint8_t tag = TagOf(HashOf(entry));
        std::size_t i = HashOf(entry) & mask_;
        for (; tags_[i] != 0; i = (i + 1) & mask_)
            if (tags_[i] == tag && SameName(keyText(lines_[i]), keyText(LineOf(entry)))) {
                found = true;
                return i;
            }
        found = false;
        return i;
    }

    // The entries ordered, stably, by the block of the table their hash falls into.
    std::vector<std::uint64_t> BlockSorted(std::vector<std::uint64_t> entries) const {
        const std::size_t blocks = tags_.size() / kBlockSlots;
        if (blocks <= 1)
            return entries;
        const auto blockOf = [this](std::uint64_t entry) {
            return (HashOf(entry) & mask_) / kBlockSlots;
        };
        std::vector<std::size_t> starts(blocks + 1, 0);
        for (std::uint64_t entry : entries)
            ++starts[blockOf(entry) + 1];
        for (std::size_t b = 0; b < blocks; ++b)
            starts[b + 1] += starts[b];
        std::vector<std::uint64_t> sorted(entries.size());
        for (std::uint64_t entry : entries)
            sorted[starts[blockOf(entry)]++] = entry;
        return sorted;
    }

    std::vector<std::uint8_t> tags_;
    std::vector<std::uint32_t> lines_;
    std::size_t mask_ = 0;
    std::size_t count_ = 0;
};

} // namespace

struct CProfileFile::Content {
    // A line of the file without its line end: a stretch of text (below). Lines are not strings
    // of their own, so a file of a million keys is one block of text and one array of stretches
    // rather than a million small objects scattered over the heap.
    struct LineRef {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    // The text can hold at most this many bytes, which no profile file comes near.
    static constexpr std::size_t kMaxText = UINT32_MAX;

    struct Section {
        std::string header; // the section line as it stands in the file; none for the first
        std::vector<LineRef> lines;
        KeyIndex keys; // first line of each key
        // Files are mostly read and written key after key in file order (P0, P1, ...): the line
        // after the last one found is tried first, which saves the index's random memory access.
        // Only sound while no key appears twice, since the index must then pick the first.
        std::size_t nextLine = 0;
        bool duplicateKeys = false;
    };

    // The lines of one section as text, for the key index.
    struct SectionLines {
        const Content& content;
        const std::vector<LineRef>& lines;
        std::size_t size() const { return lines.size(); }
        std::string_view operator[](std::size_t i) const { return content.Line(lines[i]); }
    };

    // The text of every line: the file as it was read, followed by each line written since.
    // A replaced line leaves its old text behind as garbage until there is as much garbage as
    // live text; the text is then compacted.
    std::string text;
    std::size_t garbage = 0;

    // sections[0] holds the lines before the first section line. It has no section line of its
    // own and answers to the empty section name, so keys before the first section are read and
    // written as the keys of section "".
    std::vector<Section> sections = std::vector<Section>(1);
    std::unordered_map<std::string, std::size_t> sectionIndex{{"", 0}}; // lower-case -> first
    // A file that starts with the UTF-8 byte-order mark holds UTF-8 text and keeps the mark;
    // every other file holds Windows-1252 text.
    bool utf8 = false;

    std::string_view Line(LineRef line) const { return {text.data() + line.offset, line.length}; }
    SectionLines LinesOf(const Section& section) const { return {*this, section.lines}; }

    std::size_t FindKey(Section& section, std::string_view key) const {
        if (!section.duplicateKeys && section.nextLine < section.lines.size() &&
            SameName(KeyOf(Line(section.lines[section.nextLine])), key))
            return section.nextLine++;
        std::size_t line = section.keys.Find(key, LinesOf(section));
        if (line != std::string::npos)
            section.nextLine = line + 1;
        return line;
    }

    // Lines end in CR LF, LF or a lone CR. The file's bytes become the text the lines point
    // into; each section's key index is built once its lines are known.
    void Parse(std::string&& bytes) {
        text = std::move(bytes);
        const std::string_view all = text;
        std::size_t start = 0;
        if (all.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
            utf8 = true;
            start = kUtf8Mark.size();
        }
        Section* current = &sections.front();
        const auto index = [this](Section& section) {
            section.duplicateKeys = !section.keys.Build(LinesOf(section));
        };
        // memchr finds the next LF, and a CR before it; the LF found is kept while lines end in
        // lone CRs before it, so a file of CR-only lines is read in one pass too.
        const auto nextLf = [all](std::size_t from) {
            const void* found = std::memchr(all.data() + from, '\n', all.size() - from);
            return found ? static_cast<std::size_t>(static_cast<const char*>(found) - all.data())
                         : all.size();
        };
        std::size_t lf = nextLf(start); // the next LF at or after start, or the end of the text
        while (start < all.size()) {
            if (lf < start)
                lf = nextLf(start);
            std::size_t end = lf;
            std::size_t next = lf + 1;
            if (const void* cr = std::memchr(all.data() + start, '\r', lf - start)) {
                end = static_cast<std::size_t>(static_cast<const char*>(cr) - all.data());
                if (end + 1 < lf || lf == all.size())
                    next = end + 1; // a lone CR ends the line; else it is the CR of a CR LF
            }
            const LineRef line{static_cast<std::uint32_t>(start),
                               static_cast<std::uint32_t>(end - start)};
            start = next;

            std::string_view name;
            if (SectionNameOf(Line(line), name)) {
                index(*current);
                sectionIndex.emplace(Lower(name), sections.size());
                sections.emplace_back().header = std::string(Line(line));
                current = &sections.back();
            } else {
                current->lines.push_back(line);
            }
        }
        index(*current);
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

    // Sets key to value in section; false when the text would outgrow its limit. The line is
    // kept as a pending write (see Resolve).
    bool Set(Section& section, std::string_view key, std::string_view value) {
        const std::size_t length = key.size() + 1 + value.size();
        if (text.size() + length > kMaxText && (garbage > 0 || !pending.empty()))
            Compact();
        if (text.size() + length > kMaxText)
            return false;
        const LineRef line{static_cast<std::uint32_t>(text.size()),
                           static_cast<std::uint32_t>(length)};
        text.append(key).append(1, '=').append(value);
        pending.push_back({static_cast<std::uint32_t>(&section - sections.data()), line,
                           NameHash(KeyOf(Line(line)))});
        return true;
    }

    // Writes not yet in their sections: the line written, for the section of that number.
    // Writes are collected and put in place together before anything reads the lines, so that
    // a program writing many keys at once has their keys looked up as one batch (see KeyIndex).
    struct PendingWrite {
        std::uint32_t section;
        LineRef line;
        std::uint32_t hash;
    };
    std::vector<PendingWrite> pending;
    // Fewer pending writes than this are put in place one by one.
    static constexpr std::size_t kBatch = 1024;

    // Puts every pending write in place, in the order written.
    void Resolve() {
        if (pending.empty())
            return;
        if (pending.size() < kBatch) {
            for (const PendingWrite& write : pending)
                Put(sections[write.section], write.line);
        } else {
            std::vector<std::vector<PendingWrite>> bySection(sections.size());
            for (const PendingWrite& write : pending)
                bySection[write.section].push_back(write);
            for (std::size_t i = 0; i < sections.size(); ++i)
                if (!bySection[i].empty())
                    PutBatch(sections[i], bySection[i]);
        }
        pending.clear();
        if (garbage > text.size() / 2 && garbage > 65536)
            Compact();
    }

    // One written line into its section: it replaces the line of its key, or is added after the
    // last non-blank line of the section, so the blank lines that separate sections in
    // hand-edited files stay where they are.
    void Put(Section& section, LineRef line) {
        const std::string_view key = KeyOf(Line(line));
        const std::size_t existing = FindKey(section, key);
        if (existing != std::string::npos) {
            garbage += section.lines[existing].length;
            section.lines[existing] = line;
            return;
        }
        const std::size_t at = Append(section, line);
        section.keys.Add(key, at, LinesOf(section)); // only blank lines follow it; they hold no key
    }

    // Put for many lines of one section: their keys are looked up together, then the lines go
    // in place in the order written.
    void PutBatch(Section& section, const std::vector<PendingWrite>& writes) {
        const std::uint32_t base = static_cast<std::uint32_t>(section.lines.size());
        std::vector<std::uint32_t> hashes(writes.size());
        for (std::size_t j = 0; j < writes.size(); ++j)
            hashes[j] = writes[j].hash;
        section.keys.Reserve(section.keys.Count() + writes.size(), LinesOf(section));
        const auto keyText = [&](std::uint32_t line) {
            return KeyOf(line < base ? Line(section.lines[line]) : Line(writes[line - base].line));
        };
        std::vector<std::uint32_t> found;
        section.keys.LookUpBatch(hashes, base, keyText, found);

        // New keys go, in the order written, after the last non-blank line.
        std::size_t at = section.lines.size();
        while (at > 0 && Trim(Line(section.lines[at - 1])).empty())
            --at;
        const std::size_t blanks = section.lines.size() - at;
        std::vector<LineRef> added;
        std::vector<std::uint32_t> placed(writes.size()); // where each first-seen key goes
        bool allNew = true;
        for (std::size_t j = 0; j < writes.size(); ++j) {
            std::size_t target = found[j];
            if (target == base + j) {
                placed[j] = static_cast<std::uint32_t>(at + added.size());
                added.push_back(writes[j].line);
                continue;
            }
            allNew = false;
            target = target >= base ? placed[target - base] : target;
            LineRef& line = target >= at ? added[target - at] : section.lines[target];
            garbage += line.length;
            line = writes[j].line;
        }
        section.lines.insert(section.lines.begin() + static_cast<std::ptrdiff_t>(at), added.begin(),
                             added.end());
        // When every key was new, the j-th went to line at + j and placed need not be read.
        if (allNew && blanks > 0)
            section.keys.Renumber(base, [at](std::uint32_t j) { return at + j; });
        else if (!allNew)
            section.keys.Renumber(base, [&placed](std::uint32_t j) { return placed[j]; });
    }

    // Adds line after the last non-blank line of section; returns its number.
    std::size_t Append(Section& section, LineRef line) {
        std::size_t at = section.lines.size();
        while (at > 0 && Trim(Line(section.lines[at - 1])).empty())
            --at;
        section.lines.insert(section.lines.begin() + static_cast<std::ptrdiff_t>(at), line);
        return at;
    }

    // Copies the live lines into fresh text, dropping what replaced lines left behind.
    void Compact() {
        Resolve();
        std::string live;
        live.reserve(text.size() - garbage);
        for (auto& section : sections)
            for (LineRef& line : section.lines) {
                const std::size_t offset = live.size();
                live.append(Line(line));
                line.offset = static_cast<std::uint32_t>(offset);
            }
        text = std::move(live);
        garbage = 0;
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
            for (LineRef line : section.lines)
                size += line.length + 2;
        }
        std::string bytes;
        bytes.reserve(size);
        if (utf8)
            bytes += kUtf8Mark;
        auto put = [&bytes](std::string_view line) {
            bytes += line;
            bytes += "\r\n";
        };
        for (std::size_t i = 0; i < sections.size(); ++i) {
            if (i > 0)
                put(sections[i].header);
            for (LineRef line : sections[i].lines)
                put(Line(line));
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
    } else if (static_cast<std::uint64_t>(st.st_size) > Content::kMaxText) {
        readError_ = "it is too large";
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
            content_->Parse(std::move(bytes));
    }
    ::close(fd);
    return readError_.empty();
}

const std::string& CProfileFile::ReadError() {
    EnsureLoaded();
    return readError_;
}

bool CProfileFile::CanWrite() {
    if (writable_ < 0) {
        writable_ = nivra::CanWriteFile(path_) ? 1 : 0;
        if (writable_ == 0)
            cannotWrite_ = std::strerror(errno);
    }
    if (writable_ == 0)
        writeError_ = cannotWrite_;
    return writable_ == 1;
}

bool CProfileFile::Refuse(std::string reason) {
    writeError_ = std::move(reason);
    return false;
}

std::string CProfileFile::ReadString(const std::string& key, const std::string& section) {
    EnsureLoaded();
    content_->Resolve();
    std::string keyBuffer;
    const std::string_view name = content_->FileName(Trim(key), keyBuffer);
    Content::Section* found = content_->FindForReading(section);
    if (!found || name.empty())
        return {};
    std::size_t line = content_->FindKey(*found, name);
    return line == std::string::npos ? std::string{}
                                     : ValueOf(content_->Line(found->lines[line]), content_->utf8);
}

bool CProfileFile::WriteString(const std::string& value, const std::string& key,
                               const std::string& section) {
    std::string_view name = Trim(key);
    if (name.empty() || name.front() == '[' || key.find('=') != key.npos || HasLineBreak(key))
        return Refuse("the key \"" + OneLine(key) + "\" cannot be written to a profile file");
    if (HasLineBreak(section))
        return Refuse("a section name cannot hold a line break");
    if (!CanWrite())
        return false;
    if (!EnsureLoaded())
        return Refuse("it cannot be read: " + readError_);
    if (!content_->Set(content_->FindOrAdd(content_->FileText(section)), content_->FileText(name),
                       content_->FileText(OneLine(value))))
        return Refuse("the file would grow beyond 4 GiB");
    dirty_ = true;
    return true;
}

bool CProfileFile::WriteBool(bool value, const std::string& key, const std::string& section) {
    return WriteString(value ? "true" : "false", key, section);
}

bool CProfileFile::DeleteSection(const std::string& section) {
    if (!CanWrite())
        return false;
    if (!EnsureLoaded())
        return Refuse("it cannot be read: " + readError_);
    content_->Resolve();
    const std::string name = content_->FileText(section);
    if (content_->Find(name)) {
        content_->Remove(name);
        dirty_ = true;
    }
    return true;
}

bool CProfileFile::Flush() {
    if (!dirty_)
        return true;
    content_->Resolve();
    if (!CanWrite())
        return false;
    if (!nivra::ReplaceFileAtomically(path_, content_->Serialize()))
        return Refuse(std::strerror(errno));
    dirty_ = false;
    return true;
}
