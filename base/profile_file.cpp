#include "base/profile_file.h"

#include "base/atomic_file.h"
#include "base/code_page.h"
#include "base/profile_key_index.h"
#include "base/profile_line.h"
#include "base/readable_file.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace nivra {

namespace {

using namespace nivra::profile;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Whether text is plain ASCII, which needs no conversion. No early exit, so it vectorises.
bool isAscii(std::string_view text) {
    unsigned char bits = 0;
    for (char c : text)
        bits |= static_cast<unsigned char>(c);
    return bits < 0x80;
}

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != text.npos;
}

// The text before the first NUL byte: a NUL ends a name or a value, as the file functions of
// Windows take them as C strings.
std::string_view beforeNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

// The value of a line as a reader sees it, as UTF-8: trimmed, one pair of enclosing quotes
// removed, cut to the maximum length in characters of the file's text. The cut follows the
// Windows profile functions exactly, quirk included: they copy the value after the opening quote
// into a buffer of kMaxValueLength characters and then drop the closing quote, or, when the value
// filled the buffer to the last character but one, the last character of the value.
std::string valueOf(std::string_view line, bool utf8File, bool hasNul) {
    constexpr std::size_t kMax = ProfileFile::kMaxValueLength;
    auto equals = line.find('=');
    if (equals == line.npos)
        return {};
    std::string_view value = line.substr(equals + 1);
    if (hasNul)
        value = beforeNul(value);
    value = trim(value);
    const bool ascii = isAscii(value);
    if (ascii && value.size() <= kMax &&
        (value.empty() || (value.front() != '"' && value.front() != '\'')))
        return std::string(value); // the common case: nothing to cut, decode or unquote
    const bool utf8 = !ascii && (utf8File || nivra::isMultiByteUtf8(value));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        std::string_view rest = value.substr(1); // with the closing quote
        const std::size_t length = nivra::characterCount(rest, utf8);
        std::size_t kept = length < kMax ? length : kMax;
        if (length <= kMax + 1)
            --kept;
        value = rest.substr(0, nivra::prefixBytes(rest, kept, utf8));
    } else {
        value = value.substr(0, nivra::prefixBytes(value, kMax, utf8));
    }
    if (ascii)
        return std::string(value);
    if (!utf8)
        return nivra::cp1252ToUtf8(value);
    return utf8File ? nivra::repairUtf8(value) : std::string(value);
}

// CR, LF and CR LF inside a value each become one blank.
std::string oneLine(std::string value) {
    if (!hasLineBreak(value))
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

} // namespace

struct ProfileFile::Content {
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
        std::string_view operator[](std::size_t i) const { return content.textOf(lines[i]); }
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
    // A file that starts with the UTF-8 byte-order mark holds UTF-8 text and keeps the mark; a
    // file that starts with the UTF-16 little-endian mark is held here as UTF-8 and written back
    // as UTF-16 with its mark; every other file holds Windows-1252 text.
    bool utf8 = false;
    bool utf8Mark = false;
    bool utf16 = false;
    // Whether the text read holds a NUL byte, which ends the value it stands in. Values written
    // never hold one.
    bool hasNul = false;

    std::string_view textOf(LineRef line) const { return {text.data() + line.offset, line.length}; }
    SectionLines linesOf(const Section& section) const { return {*this, section.lines}; }

    std::size_t findKey(Section& section, std::string_view key) const {
        if (!section.duplicateKeys && section.nextLine < section.lines.size() &&
            sameName(keyOf(textOf(section.lines[section.nextLine])), key))
            return section.nextLine++;
        std::size_t line = section.keys.find(key, linesOf(section));
        if (line != std::string::npos)
            section.nextLine = line + 1;
        return line;
    }

    // Lines end in CR LF, LF or a lone CR. The file's bytes become the text the lines point
    // into; each section's key index is built once its lines are known.
    // Returns false, keeping nothing, when the text would be too large to hold.
    bool parse(std::string&& bytes) {
        if (std::string_view(bytes).substr(0, kUtf16LeMark.size()) == kUtf16LeMark) {
            utf16 = utf8 = true;
            bytes = nivra::utf16LeToUtf8(std::string_view(bytes).substr(kUtf16LeMark.size()));
            if (bytes.size() > kMaxText)
                return false;
        }
        text = std::move(bytes);
        const std::string_view all = text;
        hasNul = std::memchr(all.data(), '\0', all.size()) != nullptr;
        std::size_t start = 0;
        if (!utf16 && all.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
            utf8 = utf8Mark = true;
            start = kUtf8Mark.size();
        }
        Section* current = &sections.front();
        const auto index = [this](Section& section) {
            section.duplicateKeys = !section.keys.build(linesOf(section));
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
            if (sectionNameOf(textOf(line), name)) {
                index(*current);
                sectionIndex.emplace(lowerCase(name), sections.size());
                sections.emplace_back().header = std::string(textOf(line));
                current = &sections.back();
            } else {
                current->lines.push_back(line);
            }
        }
        index(*current);
        return true;
    }

    // A name or value of the program (UTF-8) as this file's text.
    std::string fileText(std::string_view text) const {
        return utf8 ? nivra::repairUtf8(text) : nivra::utf8ToCp1252(text);
    }
    // The same for a name, kept in buffer only when it is not ASCII (names nearly always are).
    std::string_view fileName(std::string_view text, std::string& buffer) const {
        if (isAscii(text))
            return text;
        buffer = fileText(text);
        return buffer;
    }

    Section* find(std::string_view section) {
        auto it = sectionIndex.find(lowerCase(trim(section)));
        return it == sectionIndex.end() ? nullptr : &sections[it->second];
    }

    // find for a name of the program. Readers ask for the same section key after key, so the
    // last name found is remembered as it was given.
    Section* findForReading(const std::string& section) {
        if (lastFound != std::string::npos && section == lastAsked)
            return &sections[lastFound];
        std::string buffer;
        Section* found = find(fileName(section, buffer));
        if (found) {
            lastAsked = section;
            lastFound = static_cast<std::size_t>(found - sections.data());
        }
        return found;
    }
    std::string lastAsked;
    std::size_t lastFound = std::string::npos; // reset whenever sections are removed

    Section& findOrAdd(std::string_view section) {
        if (Section* found = find(section))
            return *found;
        std::string name(trim(section));
        sectionIndex.emplace(lowerCase(name), sections.size());
        sections.emplace_back().header = "[" + name + "]";
        return sections.back();
    }

    // Sets key to value in section; false when the text would outgrow its limit. The line is
    // kept as a pending write (see resolve).
    bool set(Section& section, std::string_view key, std::string_view value) {
        const std::size_t length = key.size() + 1 + value.size();
        if (text.size() + length > kMaxText && (garbage > 0 || !pending.empty()))
            compact();
        if (text.size() + length > kMaxText)
            return false;
        const LineRef line{static_cast<std::uint32_t>(text.size()),
                           static_cast<std::uint32_t>(length)};
        text.append(key).append(1, '=').append(value);
        pending.push_back({static_cast<std::uint32_t>(&section - sections.data()), line,
                           nameHash(keyOf(textOf(line)))});
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
    void resolve() {
        if (pending.empty())
            return;
        if (pending.size() < kBatch) {
            for (const PendingWrite& write : pending)
                put(sections[write.section], write.line);
        } else {
            std::vector<std::vector<PendingWrite>> bySection(sections.size());
            for (const PendingWrite& write : pending)
                bySection[write.section].push_back(write);
            for (std::size_t i = 0; i < sections.size(); ++i)
                if (!bySection[i].empty())
                    putBatch(sections[i], bySection[i]);
        }
        pending.clear();
        if (garbage > text.size() / 2 && garbage > 65536)
            compact();
    }

    // One written line into its section: it replaces the line of its key, or is added at the
    // section's insertion point.
    void put(Section& section, LineRef line) {
        const std::string_view key = keyOf(textOf(line));
        const std::size_t existing = findKey(section, key);
        if (existing != std::string::npos) {
            garbage += section.lines[existing].length;
            section.lines[existing] = line;
            return;
        }
        const std::size_t at = append(section, line);
        section.keys.add(key, at, linesOf(section)); // only blank lines follow it; they hold no key
    }

    // put for many lines of one section: their keys are looked up together, then the lines go
    // in place in the order written.
    void putBatch(Section& section, const std::vector<PendingWrite>& writes) {
        const std::uint32_t base = static_cast<std::uint32_t>(section.lines.size());
        std::vector<std::uint32_t> hashes(writes.size());
        for (std::size_t j = 0; j < writes.size(); ++j)
            hashes[j] = writes[j].hash;
        section.keys.reserve(section.keys.count() + writes.size(), linesOf(section));
        const auto keyText = [&](std::uint32_t line) {
            return keyOf(line < base ? textOf(section.lines[line])
                                     : textOf(writes[line - base].line));
        };
        std::vector<std::uint32_t> found;
        section.keys.lookUpBatch(hashes, base, keyText, found);

        const std::size_t at = insertionPoint(section); // new keys go here, in the order written
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
            section.keys.renumber(base, [at](std::uint32_t j) { return at + j; });
        else if (!allNew)
            section.keys.renumber(base, [&placed](std::uint32_t j) { return placed[j]; });
    }

    // Where a new key goes: after the last non-blank line of section, so the blank lines that
    // separate sections in hand-edited files stay where they are.
    std::size_t insertionPoint(const Section& section) const {
        std::size_t at = section.lines.size();
        while (at > 0 && trim(textOf(section.lines[at - 1])).empty())
            --at;
        return at;
    }

    // Adds line at the insertion point of section; returns its number.
    std::size_t append(Section& section, LineRef line) {
        const std::size_t at = insertionPoint(section);
        section.lines.insert(section.lines.begin() + static_cast<std::ptrdiff_t>(at), line);
        return at;
    }

    // Copies the live lines into fresh text, dropping what replaced lines left behind.
    void compact() {
        resolve();
        std::string live;
        live.reserve(text.size() - garbage);
        for (auto& section : sections)
            for (LineRef& line : section.lines) {
                const std::size_t offset = live.size();
                live.append(textOf(line));
                line.offset = static_cast<std::uint32_t>(offset);
            }
        text = std::move(live);
        garbage = 0;
    }

    // Removes the lines of key from section; true when there was one.
    bool removeKey(Section& section, std::string_view key) {
        const std::size_t before = section.lines.size();
        std::erase_if(section.lines, [&](LineRef line) {
            const bool match = sameName(keyOf(textOf(line)), key);
            garbage += match ? line.length : 0;
            return match;
        });
        if (section.lines.size() == before)
            return false;
        section.nextLine = 0;
        section.duplicateKeys = !section.keys.build(linesOf(section));
        return true;
    }

    // Removes every section of that name; the lines before the first section are only emptied.
    void remove(std::string_view section) {
        std::string wanted = lowerCase(trim(section));
        std::vector<Section> kept;
        kept.reserve(sections.size());
        for (std::size_t i = 0; i < sections.size(); ++i) {
            std::string_view name;
            sectionNameOf(sections[i].header, name);
            if (i == 0 && wanted.empty())
                kept.emplace_back();
            else if (i == 0 || lowerCase(name) != wanted)
                kept.push_back(std::move(sections[i]));
        }
        sections = std::move(kept);
        lastFound = std::string::npos;
        sectionIndex.clear();
        sectionIndex.emplace("", 0);
        for (std::size_t i = 1; i < sections.size(); ++i) {
            std::string_view name;
            sectionNameOf(sections[i].header, name);
            sectionIndex.emplace(lowerCase(name), i);
        }
    }

    std::string serialize() const {
        std::size_t size = utf8Mark ? kUtf8Mark.size() : 0;
        for (const auto& section : sections) {
            size += section.header.size() + 2;
            for (LineRef line : section.lines)
                size += line.length + 2;
        }
        std::string bytes;
        bytes.reserve(size);
        if (utf8Mark)
            bytes += kUtf8Mark;
        auto put = [&bytes](std::string_view line) {
            bytes += line;
            bytes += "\r\n";
        };
        for (std::size_t i = 0; i < sections.size(); ++i) {
            if (i > 0)
                put(sections[i].header);
            for (LineRef line : sections[i].lines)
                put(textOf(line));
        }
        if (utf16)
            return std::string(kUtf16LeMark) + nivra::utf8ToUtf16Le(bytes);
        return bytes;
    }
};

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)) {}

ProfileFile::~ProfileFile() {
    flush();
}

bool ProfileFile::ensureLoaded() {
    if (content_)
        return readError_.empty();
    content_ = std::make_unique<Content>();
    std::string bytes;
    switch (readOptionalFile(path_, Content::kMaxText, bytes, readError_)) {
    case OptionalFileRead::kMissing: // a missing file reads as an empty one
    case OptionalFileRead::kFailed:
        break;
    case OptionalFileRead::kFolder:
        readError_ = "it is a folder";
        break;
    case OptionalFileRead::kNotRegular:
        readError_ = "it is not a regular file";
        break;
    case OptionalFileRead::kTooLarge:
        readError_ = "it is too large";
        break;
    case OptionalFileRead::kRead:
        if (!content_->parse(std::move(bytes)))
            readError_ = "it is too large";
        break;
    }
    return readError_.empty();
}

const std::string& ProfileFile::readError() {
    ensureLoaded();
    return readError_;
}

bool ProfileFile::canWrite() {
    if (writable_ < 0) {
        writable_ = nivra::canWriteFile(path_) ? 1 : 0;
        if (writable_ == 0)
            cannotWrite_ = std::strerror(errno);
    }
    if (writable_ == 0)
        writeError_ = cannotWrite_;
    return writable_ == 1;
}

bool ProfileFile::refuse(std::string reason) {
    writeError_ = std::move(reason);
    return false;
}

std::string ProfileFile::readString(const std::string& key, const std::string& section) {
    if (section.find('\0') != section.npos) // a NUL ends the name
        return readString(key, std::string(beforeNul(section)));
    ensureLoaded();
    content_->resolve();
    std::string keyBuffer;
    const std::string_view name = content_->fileName(trim(beforeNul(key)), keyBuffer);
    Content::Section* found = content_->findForReading(section);
    if (!found || name.empty())
        return {};
    std::size_t line = content_->findKey(*found, name);
    return line == std::string::npos
               ? std::string{}
               : valueOf(content_->textOf(found->lines[line]), content_->utf8, content_->hasNul);
}

bool ProfileFile::writeString(const std::string& value, const std::string& key,
                              const std::string& section) {
    // A NUL ends each of them, as it ends them for the Windows file functions.
    const auto hasNul = [](const std::string& text) { return text.find('\0') != text.npos; };
    if (hasNul(value) || hasNul(key) || hasNul(section))
        return writeString(std::string(beforeNul(value)), std::string(beforeNul(key)),
                           std::string(beforeNul(section)));
    std::string_view name = trim(key);
    if (name.empty() || name.front() == '[' || key.find('=') != key.npos || hasLineBreak(key))
        return refuse("the key \"" + oneLine(key) + "\" cannot be written to a profile file");
    if (hasLineBreak(section))
        return refuse("a section name cannot hold a line break");
    if (!canWrite())
        return false;
    if (!ensureLoaded())
        return refuse("it cannot be read: " + readError_);
    if (!content_->set(content_->findOrAdd(content_->fileText(section)), content_->fileText(name),
                       content_->fileText(oneLine(value))))
        return refuse("the file would grow beyond 4 GiB");
    dirty_ = true;
    return true;
}

bool ProfileFile::writeBool(bool value, const std::string& key, const std::string& section) {
    return writeString(value ? "true" : "false", key, section);
}

bool ProfileFile::deleteSection(const std::string& section) {
    if (!canWrite())
        return false;
    if (!ensureLoaded())
        return refuse("it cannot be read: " + readError_);
    content_->resolve();
    const std::string name = content_->fileText(section);
    if (content_->find(name)) {
        content_->remove(name);
        dirty_ = true;
    }
    return true;
}

bool ProfileFile::deleteKey(const std::string& key, const std::string& section) {
    if (!canWrite())
        return false;
    if (!ensureLoaded())
        return refuse("it cannot be read: " + readError_);
    content_->resolve();
    std::string keyBuffer;
    const std::string_view name = content_->fileName(trim(beforeNul(key)), keyBuffer);
    Content::Section* found = content_->find(content_->fileText(beforeNul(section)));
    if (found && !name.empty() && content_->removeKey(*found, name))
        dirty_ = true;
    return true;
}

bool ProfileFile::flush() {
    if (!dirty_)
        return true;
    content_->resolve();
    if (!canWrite())
        return false;
    if (!nivra::replaceFileAtomically(path_, content_->serialize()))
        return refuse(std::strerror(errno));
    dirty_ = false;
    return true;
}

} // namespace nivra
