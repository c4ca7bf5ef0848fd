#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace nivra {

// SHA-256 of a byte sequence, fed in pieces. Used to recognise a file's content again (the same
// bytes give the same digest wherever the file lies and whatever it is called).
class Sha256 {
public:
    Sha256();
    void update(std::string_view bytes);
    // The digest as 64 lower-case hex digits. The object is spent afterwards.
    std::string hexDigest();

private:
    void compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;
};

// The digest of a whole file, or "" when it cannot be read.
std::string sha256OfFile(const std::string& path);

} // namespace nivra
