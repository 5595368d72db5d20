#include <gtest/gtest.h>

#include "content_hash.h"

namespace {

struct HashCase {
    std::string input;
    const char* digest;
};

class Sha256Vectors : public testing::TestWithParam<HashCase> {};

// The published test vectors, and lengths about the 56- and 64-byte block edges.
TEST_P(Sha256Vectors, DigestOfWholeAndPieceByPiece) {
    Sha256 whole;
    whole.Update(GetParam().input.data(), GetParam().input.size());
    EXPECT_EQ(whole.HexDigest(), GetParam().digest);
    Sha256 pieces;
    for (char c : GetParam().input) pieces.Update(&c, 1);
    EXPECT_EQ(pieces.HexDigest(), GetParam().digest);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Sha256Vectors,
    testing::Values(
        HashCase{"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        HashCase{"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        HashCase{"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
                 "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        HashCase{std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        HashCase{std::string(1000, 'a'), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3"}));

}  // namespace
