// The stand-in's signature, pinned to known bytes: the data keeps its length, its bytes
// before the last 27 stay, and those 27 become the line naming how it was signed with
// the FNV-1a hash over the key and the bytes before it.
#include "sim/signer/SignatureTrailer.h"

#include <gtest/gtest.h>

namespace {

TEST(SignatureTrailer, LastBytesOfTheDataBecomeTheSignature)
{
    const std::string data = "configuration record of 40 bytes, signed";
    ASSERT_EQ(data.size(), 40u);
    EXPECT_EQ(signer::signInPlace(data, signer::SigningKey::device()),
              "configuration#SIGNED D cfe7b9d56e93ab90\n");
    EXPECT_EQ(signer::signInPlace(data, signer::SigningKey::keyFile("key", "07")),
              "configuration#SIGNED F 32d25fe01a1f2f7b\n");
}

TEST(SignatureTrailer, DataShorterThanTheSignatureCannotBeSigned)
{
    EXPECT_EQ(signer::signInPlace(std::string(26, 'x'), signer::SigningKey::device()), std::nullopt);
    EXPECT_EQ(signer::signInPlace("", signer::SigningKey::device()), std::nullopt);
    EXPECT_EQ(signer::signInPlace(std::string(27, 'x'), signer::SigningKey::device()),
              signer::deviceTrailer(""));
}

} // namespace
