#pragma once

#include <memory>
#include <string>

namespace nivra {

// One profile (INI-style) file: sections "[name]" holding "key=value" lines. The file is read and
// written as the Windows profile functions read and write it, so that files move between this
// program and the Windows version of it, in both directions, without a change.
//
// Text: the program's names and values are UTF-8; the file holds Windows-1252, so reading
// decodes it and writing encodes it (a character the code page cannot hold is written as '?').
// A value that holds valid multi-byte UTF-8 (written by earlier builds of this program) reads as
// UTF-8. A file that starts with the UTF-8 byte-order mark holds UTF-8 throughout and keeps the
// mark when it is written. A file that starts with the UTF-16 little-endian mark (Windows saves
// "Unicode" text so) is read as UTF-16 and written back as UTF-16 with its mark.
//
// Reading: lines end in CR LF, LF or a lone CR. A section line starts with '[' and runs to the
// last ']' on it ("[B]]" is section "B]"); a line with '[' but no ']' is an ordinary line. Lines
// before the first section line form the section "". Section and key names match without regard
// to letter case; blanks, tabs, CR, vertical tab, form feed and Ctrl-Z (0x1A) around keys and
// values are not part of them; a line without '=' is a key without a value. A NUL byte ends a key
// or a value, in the file and in the names and values given to the functions below. One pair of
// enclosing single or double quotes is removed, and a value is returned with at most 254 characters
// - 253 for a value of exactly 254 characters inside quotes, as on Windows. A missing file, section
// or key reads as "".
//
// Writing: an existing key is replaced in place (a key line without '=' included), a missing
// key is appended to the end of its section and a missing section to the end of the file; every
// other line of the file (comments, other sections, malformed lines) is kept as it was. Lines end
// in CR LF. No folder is ever created: a write into a folder that does not exist, or into a
// read-only file, fails.
//
// The object reads the file once, on first use, and collects its writes in memory; they reach
// the disk on flush() or when the object is destroyed. Every commit replaces the file atomically
// (a temporary file in the same folder, flushed to disk, renamed over the old one), so a crash
// or a full disk leaves either the old or the new content, never a truncated file. A read through
// the same object sees its own pending writes; a later object sees them once they are committed.
class ProfileFile {
public:
    static constexpr std::size_t kMaxValueLength = 254;

    explicit ProfileFile(std::string path);
    ~ProfileFile();
    ProfileFile(const ProfileFile&) = delete;
    ProfileFile& operator=(const ProfileFile&) = delete;

    const std::string& path() const { return path_; }

    // The value of key in section, or "" when the file, the section or the key does not exist,
    // or when the file cannot be read (see readError).
    std::string readString(const std::string& key, const std::string& section);

    // Why a file that exists could not be read (no permission, a folder, an I/O error), or ""
    // when it was read or does not exist. Such a file is never taken as empty: every write into
    // it is refused, so it is never replaced by just the new keys.
    const std::string& readError();

    // Sets key in section to value. Returns true when the value is accepted for writing and
    // false when it cannot be (writeError tells why): the folder does not exist, the file is
    // read-only or cannot be read, or the name would corrupt the file (a key holding '=' or a
    // line break or starting with '[', a section holding a line break, an empty key). Each CR,
    // LF or CR LF inside the value is written as one blank, so a value can never inject lines
    // into the file.
    bool writeString(const std::string& value, const std::string& key, const std::string& section);

    // writeString("true"/"false", key, section).
    bool writeBool(bool value, const std::string& key, const std::string& section);

    // Removes a section with all its lines. Returns true when the file can be written.
    bool deleteSection(const std::string& section);

    // Removes every line of key in section (a key written twice by hand goes too, so that no
    // older value shows through). Returns true when the file can be written.
    bool deleteKey(const std::string& key, const std::string& section);

    // Commits pending writes. Returns true when there was nothing to commit or the new content
    // is safely on disk, false when the file could not be replaced (the old content then stays;
    // writeError tells why).
    bool flush();

    // Why the last write or commit that failed was refused, or "" when none failed.
    const std::string& writeError() const { return writeError_; }

private:
    struct Content;
    bool ensureLoaded();
    bool canWrite();
    // Records why a write is refused; returns false.
    bool refuse(std::string reason);

    std::string path_;
    std::unique_ptr<Content> content_;
    int writable_ = -1; // -1 not checked yet, 0 no, 1 yes
    std::string readError_;
    std::string writeError_;
    std::string cannotWrite_; // why canWrite found the file not writable
    bool dirty_ = false;
};

} // namespace nivra
