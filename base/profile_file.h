#pragma once

#include <memory>
#include <string>

// One profile (INI-style) file: sections "[name]" holding "key=value" lines.
//
// Reading: section and key names match without regard to letter case, blanks around keys and
// values are not part of them, one pair of enclosing single or double quotes is removed, and a
// value is returned with at most 254 characters. A missing file, section or key reads as "".
//
// Writing: an existing key is replaced in place, a missing key is appended to the end of its
// section and a missing section to the end of the file; every other line of the file (comments,
// other sections, malformed lines) is kept as it was. Lines end in CR LF. No folder is ever
// created: a write into a folder that does not exist, or into a read-only file, fails.
//
// The object reads the file once, on first use, and collects its writes in memory; they reach
// the disk on Flush() or when the object is destroyed. Every commit replaces the file atomically
// (a temporary file in the same folder, flushed to disk, renamed over the old one), so a crash
// or a full disk leaves either the old or the new content, never a truncated file. A read through
// the same object sees its own pending writes; a later object sees them once they are committed.
class CProfileFile {
public:
    static constexpr std::size_t kMaxValueLength = 254;

    explicit CProfileFile(std::string path);
    ~CProfileFile();
    CProfileFile(const CProfileFile&) = delete;
    CProfileFile& operator=(const CProfileFile&) = delete;

    const std::string& Path() const { return path_; }

    // The value of key in section, or "" when the file, the section or the key does not exist.
    std::string ReadString(const std::string& key, const std::string& section);

    // Sets key in section to value. Returns non-zero when the value is accepted for writing and
    // zero when it cannot be: the folder does not exist, the file is read-only, or the name would
    // corrupt the file (a key holding '=' or a line break, a section holding ']' or a line break,
    // an empty key). Each CR, LF or CR LF inside the value is written as one blank, so a value can
    // never inject lines into the file.
    int WriteString(const std::string& value, const std::string& key, const std::string& section);

    // WriteString("true"/"false", key, section).
    int WriteBool(bool value, const std::string& key, const std::string& section);

    // Removes a section with all its lines. Returns non-zero when the file can be written.
    int DeleteSection(const std::string& section);

    // Commits pending writes. Returns true when there was nothing to commit or the new content
    // is safely on disk, false when the file could not be replaced (the old content then stays).
    bool Flush();

private:
    struct Content;
    bool EnsureLoaded();
    bool CanWrite();

    std::string path_;
    std::unique_ptr<Content> content_;
    int writable_ = -1; // -1 not checked yet, 0 no, 1 yes
    bool dirty_ = false;
};
