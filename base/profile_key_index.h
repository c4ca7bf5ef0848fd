#pragma once

#include "base/profile_line.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nivra::profile {

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
    template <typename Lines> std::size_t find(std::string_view key, const Lines& lines) const {
        if (tags_.empty())
            return std::string::npos;
        const std::uint32_t hash = nameHash(key);
        const std::uint8_t tag = tagOf(hash);
        for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
            if (tags_[i] == 0)
                return std::string::npos;
            if (tags_[i] == tag && sameName(keyOf(lines[lines_[i]]), key))
                return lines_[i];
        }
    }

    // Records that line holds key; the caller has checked that key is not present yet and has
    // already put the line into lines.
    template <typename Lines> void add(std::string_view key, std::size_t line, const Lines& lines) {
        if ((count_ + 1) * 2 > tags_.size()) {
            build(lines); // indexes the new line too
            return;
        }
        const std::uint32_t hash = nameHash(key);
        std::size_t i = hash & mask_;
        while (tags_[i] != 0)
            i = (i + 1) & mask_;
        fill(i, entry(hash, static_cast<std::uint32_t>(line)));
    }

    // Indexes the keys of all lines anew, with room for at least minKeys keys; returns false
    // when a key appears more than once, each key then answering with its first line.
    template <typename Lines> bool build(const Lines& lines, std::size_t minKeys = 0) {
        std::vector<std::uint64_t> entries; // hash << 32 | line, for the lines that hold a key
        entries.reserve(lines.size());
        for (std::size_t line = 0; line < lines.size(); ++line) {
            const std::string_view key = keyOf(lines[line]);
            if (!key.empty())
                entries.push_back(entry(nameHash(key), static_cast<std::uint32_t>(line)));
        }
        allocate(std::max(entries.size(), minKeys));
        const auto keyText = [&lines](std::uint32_t line) { return keyOf(lines[line]); };
        bool unique = true;
        for (std::uint64_t entry : blockSorted(std::move(entries))) {
            bool found = false;
            const std::size_t i = probe(entry, keyText, found);
            if (found)
                unique = false;
            else
                fill(i, entry);
        }
        return unique;
    }

    // Makes room for keys keys in all.
    template <typename Lines> void reserve(std::size_t keys, const Lines& lines) {
        if ((keys + 1) * 2 > tags_.size())
            build(lines, keys);
    }

    // Looks up a batch of keys at once; the caller has made room for all of them (Reserve).
    // Batch entry j has the hash hashes[j] and stands for the line number base + j, above every
    // line of the section; keyText gives the key of any line number, either kind. For each entry
    // found[j] is the line number that holds its key: a line of the section, an earlier entry
    // of the batch with the same key, or base + j itself for a key seen for the first time,
    // which is indexed under base + j until renumber gives it its line.
    template <typename KeyText>
    void lookUpBatch(const std::vector<std::uint32_t>& hashes, std::uint32_t base, KeyText keyText,
                     std::vector<std::uint32_t>& found) {
        std::vector<std::uint64_t> entries(hashes.size());
        for (std::size_t j = 0; j < hashes.size(); ++j)
            entries[j] = entry(hashes[j], base + static_cast<std::uint32_t>(j));
        found.assign(hashes.size(), 0);
        for (std::uint64_t entry : blockSorted(std::move(entries))) {
            bool known = false;
            const std::size_t i = probe(entry, keyText, known);
            if (!known)
                fill(i, entry);
            found[static_cast<std::uint32_t>(entry) - base] = known ? lines_[i] : lineOf(entry);
        }
    }

    // Gives the keys lookUpBatch indexed under base + j their lines: lineOf(j).
    template <typename LineOfEntry> void renumber(std::uint32_t base, LineOfEntry lineOf) {
        for (std::size_t i = 0; i < tags_.size(); ++i)
            if (tags_[i] != 0 && lines_[i] >= base)
                lines_[i] = static_cast<std::uint32_t>(lineOf(lines_[i] - base));
    }

    std::size_t count() const { return count_; }

private:
    static constexpr std::size_t kBlockSlots = 65536;

    static std::uint64_t entry(std::uint32_t hash, std::uint32_t line) {
        return (static_cast<std::uint64_t>(hash) << 32) | line;
    }
    static std::uint32_t hashOf(std::uint64_t entry) {
        return static_cast<std::uint32_t>(entry >> 32);
    }
    static std::uint32_t lineOf(std::uint64_t entry) { return static_cast<std::uint32_t>(entry); }

    static std::uint8_t tagOf(std::uint32_t hash) {
        return static_cast<std::uint8_t>(1 + (hash >> 25));
    }

    void allocate(std::size_t keys) {
        std::size_t size = 16;
        while (size < (keys + 1) * 2)
            size *= 2;
        tags_.assign(size, 0);
        lines_.assign(size, 0);
        mask_ = size - 1;
        count_ = 0;
    }

    void fill(std::size_t slot, std::uint64_t entry) {
        tags_[slot] = tagOf(hashOf(entry));
        lines_[slot] = lineOf(entry);
        ++count_;
    }

    // The slot holding the key of the entry's line, with found set, or the empty slot where it
    // belongs. The lines are read only where the tags agree.
    template <typename KeyText>
    std::size_t probe(std::uint64_t entry, KeyText keyText, bool& found) const {
        const std::uint8_t tag = tagOf(hashOf(entry));
        std::size_t i = hashOf(entry) & mask_;
        for (; tags_[i] != 0; i = (i + 1) & mask_)
            if (tags_[i] == tag && sameName(keyText(lines_[i]), keyText(lineOf(entry)))) {
                found = true;
                return i;
            }
        found = false;
        return i;
    }

    // The entries ordered, stably, by the block of the table their hash falls into.
    std::vector<std::uint64_t> blockSorted(std::vector<std::uint64_t> entries) const {
        const std::size_t blocks = tags_.size() / kBlockSlots;
        if (blocks <= 1)
            return entries;
        const auto blockOf = [this](std::uint64_t entry) {
            return (hashOf(entry) & mask_) / kBlockSlots;
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

} // namespace nivra::profile
