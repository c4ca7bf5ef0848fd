// The data file (.dax): a profile file holding one assay record.
//
//   [COUNTER CONFIG]   the record's counter configuration
//   [ASSAY CONFIG]     the record's assay configuration
//   [ASSAY DESC]       D0, D1, ... one key per header line
//   [ASSAY DATA]       P0, P1, ... one key per point, the count in decimal
//
// The D and P keys are dense; a reader stops at the first missing or empty one. Counter number,
// end time and progress are not stored.
//
// Reading goes through the profile layer. Saving writes the file afresh, in exactly the layout
// and the code page the profile layer writes (section lines, key=value lines, CR LF, Windows-1252
// text), and replaces the old file in one atomic step: a run rewrites its backup file after every
// dwell, and a profile object that indexes every key would make each save of a long run grow faster
// than the run itself.

#include "model/data_file.h"

#include "model/assay_data.h"

#include "base/atomic_file.h"
#include "base/code_page.h"
#include "base/file_system.h"
#include "base/printable_text.h"
#include "base/profile_file.h"
#include "base/profile_sections.h"
#include "base/readable_file.h"
#include "base/value_encoding.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace nivra {

namespace {

constexpr const char* kHeaderSection = "ASSAY DESC";
constexpr const char* kPointSection = "ASSAY DATA";

// "D<index>" / "P<index>".
std::string numberedKey(char prefix, std::size_t index) {
    char buffer[24];
    buffer[0] = prefix;
    char* end = std::to_chars(buffer + 1, buffer + sizeof buffer, index).ptr;
    return std::string(buffer, end);
}
std::string headerKey(std::size_t index) {
    return numberedKey('D', index);
}
std::string pointKey(std::size_t index) {
    return numberedKey('P', index);
}

// The characters the profile reader trims from the edges of a value.
bool isEdgeBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1A';
}

// The most characters written between quotes: the Windows profile functions return a quoted
// value of 254 characters without its last one, and of 253 only when it leaves no room for
// their closing quote; 252 is read back whole everywhere.
constexpr std::size_t kMaxQuotedLength = 252;

// A header line, in the file's text, as it is stored so that reading gives it back. The profile
// reader drops blanks around a value and one pair of enclosing quotes, so such a line is stored
// inside quotes, cut to what a reader takes whole. An empty line would end the list of header
// lines for a reader and lose every line after it; it is stored as one blank instead.
std::string encodeHeaderLine(const std::string& line, bool utf8) {
    if (line.empty())
        return "\" \"";
    const bool blankEdge = isEdgeBlank(line.front()) || isEdgeBlank(line.back());
    const bool quoted = line.size() >= 2 && (line.front() == '"' || line.front() == '\'') &&
                        line.back() == line.front();
    if (blankEdge || quoted)
        return '"' + line.substr(0, nivra::prefixBytes(line, kMaxQuotedLength, utf8)) + '"';
    return line;
}

// CR, LF and CR LF inside a value each become one blank, as the profile layer writes them, so a
// value can never add lines to the file.
std::string oneLine(std::string_view value) {
    std::string line;
    line.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n')
                ++i;
            c = ' ';
        }
        line += c;
    }
    return line;
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Whether the file at path starts with the UTF-8 byte-order mark: such a file keeps its mark and
// its UTF-8 text when it is saved again, as the profile layer keeps them.
bool startsWithUtf8Mark(const std::string& path) {
    std::FILE* file = openForReading(path);
    if (!file)
        return false;
    char start[3] = {};
    const bool marked = std::fread(start, 1, sizeof start, file) == sizeof start &&
                        std::string_view(start, sizeof start) == kUtf8Mark;
    std::fclose(file);
    return marked;
}

// The text of a profile file, built the way the profile layer writes a new file: in the
// Windows-1252 code page, or in UTF-8 after the byte-order mark.
class ProfileText {
public:
    explicit ProfileText(bool utf8) : utf8_(utf8) {
        if (utf8_)
            text_ += kUtf8Mark;
    }
    bool utf8() const { return utf8_; }
    // A value of the program (UTF-8, possibly with line breaks) as one line of the file's text.
    std::string fileText(std::string_view value) const {
        std::string line = oneLine(value);
        return utf8_ ? nivra::repairUtf8(line) : nivra::utf8ToCp1252(line);
    }
    void section(const char* name) {
        text_ += '[';
        text_ += name;
        text_ += "]\r\n";
    }
    // A key line; value is already one line of the file's text.
    void key(std::string_view key, std::string_view value) {
        text_ += key;
        text_ += '=';
        text_ += value;
        text_ += "\r\n";
    }
    void reserve(std::size_t bytes) { text_.reserve(bytes); }
    const std::string& text() const { return text_; }

private:
    bool utf8_;
    std::string text_;
};

// "P1='abc' is not a count", the value's control characters escaped.
std::string notACount(const std::string& key, std::string_view text) {
    return key + "='" + escapeControlCharacters(text) + "' is not a count";
}

// A point's value as the program writes it: an optional minus sign and one to ten decimal
// digits, within the range of a count. Anything else (a word, an exponent, a hexadecimal
// number, trailing text, a number too large) is damage, never a count.
bool parseCount(std::string_view text, std::int32_t& count) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty() || text.size() > 10)
        return false;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return false;
    count = static_cast<std::int32_t>(value);
    return true;
}

// A NUL byte, which a profile reader takes for the end of a value, in the text of a data file:
// "P1='12\x00' is not a count" in the point section, "line N holds a NUL byte" elsewhere; ""
// when there is none.
std::string nulByteProblem(std::string_view text) {
    if (text.find('\0') == std::string_view::npos)
        return {};
    bool inPoints = false;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const auto end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        ++lineNumber;
        if (line.find('\0') == std::string_view::npos) {
            std::size_t first = 0;
            while (first < line.size() && isEdgeBlank(line[first]))
                ++first;
            if (first < line.size() && line[first] == '[' &&
                line.find(']') != std::string_view::npos)
                inPoints = isProfileSectionLine(line, kPointSection);
        } else {
            const auto equals = line.find('=');
            if (inPoints && equals != std::string_view::npos) {
                std::string_view key = line.substr(0, equals);
                while (!key.empty() && isEdgeBlank(key.back()))
                    key.remove_suffix(1);
                return notACount(std::string(key), line.substr(equals + 1));
            }
            return "line " + std::to_string(lineNumber) + " holds a NUL byte";
        }
        if (end == std::string_view::npos)
            break;
        // CR LF ends one line, as CR or LF alone does.
        text.remove_prefix(end + (text.substr(end, 2) == "\r\n" ? 2 : 1));
    }
    return {};
}

std::unique_ptr<AssayData> readRecord(const std::string& path, std::string* damage);

} // namespace

} // namespace nivra
  // namespace

namespace nivra {

bool saveDataFile(const AssayData& data, const std::string& path) {
    std::string reason;
    return saveDataFile(data, path, reason);
}

bool saveDataFile(const AssayData& data, const std::string& path, std::string& reason) {
    if (path.empty()) {
        reason = std::strerror(ENOENT);
        return false;
    }
    const AssayData::Snapshot record = data.snapshot();

    ProfileText file(startsWithUtf8Mark(path));
    file.reserve(1024 + record.counts.size() * 16);
    file.section(CounterConfig::kSection);
    for (const auto& [key, value] : record.counterConfig.entries())
        file.key(key, file.fileText(value));
    file.section(AssayConfig::kSection);
    for (const auto& [key, value] : record.assayConfig.entries())
        file.key(key, file.fileText(value));
    for (const auto& [key, value] : record.assayConfig.optionalEntries())
        file.key(key, file.fileText(value));
    if (!record.headerLines.empty()) {
        file.section(kHeaderSection);
        for (std::size_t i = 0; i < record.headerLines.size(); ++i)
            file.key(headerKey(i),
                     encodeHeaderLine(file.fileText(record.headerLines[i]), file.utf8()));
    }
    // The point section is written even without points: every data file has it, and a file
    // without it is some other file.
    file.section(kPointSection);
    {
        char value[16];
        for (std::size_t i = 0; i < record.counts.size(); ++i) {
            char* end = std::to_chars(value, value + sizeof value, record.counts[i]).ptr;
            file.key(pointKey(i), std::string_view(value, static_cast<std::size_t>(end - value)));
        }
    }
    if (replaceFileAtomically(path, file.text()))
        return true;
    reason = std::strerror(errno);
    return false;
}

std::string dataFileProblem(const std::string& path) {
    std::string problem;
    openDataFile(path, problem);
    return problem;
}

std::unique_ptr<AssayData> openDataFile(const std::string& path, std::string& problem) {
    problem.clear();
    std::string text, reason;
    if (!readRegularFile(path, text, reason, kMaxDataFileBytes)) {
        problem = reason.rfind("is larger than", 0) == 0
                      ? "not a data file: " + path + " (it " + reason + ")"
                      : "cannot read '" + path + "': " + reason;
        return nullptr;
    }
    for (const char* section : {CounterConfig::kSection, AssayConfig::kSection, kPointSection})
        if (!hasProfileSection(text, section)) {
            problem = "not a data file: " + path + " (no [" + section + "] section)";
            return nullptr;
        }
    if (const std::string damage = nulByteProblem(text); !damage.empty()) {
        problem = "damaged data file: " + path + ": " + damage;
        return nullptr;
    }
    text = {};
    std::string damage;
    auto record = readRecord(path, &damage);
    if (!damage.empty()) {
        problem = "damaged data file: " + path + ": " + damage;
        return nullptr;
    }
    return record;
}

std::unique_ptr<AssayData> readDataFile(const std::string& path) {
    return readRecord(path, nullptr);
}

namespace {

std::unique_ptr<AssayData> readRecord(const std::string& path, std::string* damage) {
    ProfileFile file(path);
    AssayData::Snapshot record;
    record.counterConfig = CounterConfig::defaults(path);
    record.assayConfig = AssayConfig::defaults();
    record.counterConfig.readFrom(file);
    record.assayConfig.readFrom(file);

    std::int32_t value = 0; // leniently read, a value that is no number repeats the one before
    for (std::size_t i = 0;; ++i) {
        const std::string key = pointKey(i);
        const std::string text = file.readString(key, kPointSection);
        if (text.empty())
            break;
        if (!damage) {
            scanInt(text, value);
        } else if (!parseCount(text, value)) {
            *damage = notACount(key, text);
            return nullptr;
        }
        record.counts.push_back(value);
    }

    for (std::size_t i = 0;; ++i) {
        std::string line = file.readString(headerKey(i), kHeaderSection);
        if (line.empty())
            break;
        record.headerLines.push_back(std::move(line));
    }
    return std::make_unique<AssayData>(std::move(record));
}

} // namespace

} // namespace nivra
