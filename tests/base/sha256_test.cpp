#include "base/sha256.h"

#include <gtest/gtest.h>

using nivra::Sha256;

TEST(Sha256, GivesTheStandardDigests) {
    auto digest = [](std::string_view bytes, std::size_t piece) {
        Sha256 hash;
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            hash.update(bytes.substr(at, piece));
        return hash.hexDigest();
    };
    EXPECT_EQ(digest("", 1), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(digest("abc", 1), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length no longer fits the first block.
    const std::string two = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(digest(two, 7), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(digest(std::string(1000000, 'a'), 4096),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}
