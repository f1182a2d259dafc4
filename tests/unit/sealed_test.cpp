// The sealed format over real AES-GCM and PBKDF2 (OpenSSL), against a file written by Python's cryptography.
#include "protect/sealed.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "base/unicode.h"
#include "fakes/openssl_crypto.h"

namespace {

const Text kFixturePassword = u"\u0e23\u0e2b\u0e31\u0e2a-Cl\u00e9-7";

Bytes Fixture(const char* name) {
    std::ifstream in(std::string(LOCKLEAF_FIXTURES) + "/sealed/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

protect::SealedStatus OpenWith(Crypto& crypto, const Bytes& file, const Text& password, Text& text) {
    protect::SealedHeader header;
    if (const auto s = protect::ReadSealedHeader(file, header); s != protect::SealedStatus::Ok) return s;
    protect::SealedKey key(crypto);
    if (!key.Derive(password, header)) return protect::SealedStatus::Failed;
    return protect::OpenSealed(crypto, file, key, text);
}

void PutIterations(Bytes& file, uint32_t n) {
    for (int i = 0; i < 4; ++i) file[10 + i] = static_cast<char>(n >> (8 * i));
}

}  // namespace

TEST(Sealed, PythonWrittenFileOpensAndResealsWithAFreshNonceUnderItsKey) {
    OpenSslCrypto crypto;
    const Bytes file = Fixture("letter.txse"), expected = Fixture("letter.txt");
    ASSERT_GT(file.size(), protect::kSealedMinSize);
    protect::SealedHeader header;
    ASSERT_EQ(protect::ReadSealedHeader(file, header), protect::SealedStatus::Ok);
    EXPECT_EQ(header.iterations, 600000u);

    protect::SealedKey key(crypto);
    ASSERT_TRUE(key.Derive(kFixturePassword, header));
    Text text;
    ASSERT_EQ(protect::OpenSealed(crypto, file, key, text), protect::SealedStatus::Ok);
    EXPECT_EQ(base::ToUtf8(text), expected);  // byte-exact, NUL and emoji included
    EXPECT_NE(text.find(u"\U0001F510"), Text::npos);

    Text wrong = u"x";
    EXPECT_EQ(OpenWith(crypto, file, u"\u0e23\u0e2b\u0e31\u0e2a-Cle-7", wrong),
              protect::SealedStatus::WrongPassword);
    EXPECT_TRUE(wrong.empty());

    // Saving again keeps the salt and the key and draws a new nonce: never the same bytes twice.
    Bytes again, third;
    ASSERT_TRUE(protect::SealText(crypto, key, text, again));
    ASSERT_TRUE(protect::SealText(crypto, key, text, third));
    EXPECT_EQ(again.size(), file.size());
    EXPECT_EQ(again.substr(0, 30), file.substr(0, 30));
    EXPECT_NE(again.substr(30, 12), file.substr(30, 12));
    EXPECT_NE(again, third);
    Text back;
    EXPECT_EQ(protect::OpenSealed(crypto, third, key, back), protect::SealedStatus::Ok);
    EXPECT_EQ(back, text);
}

TEST(Sealed, EveryChangedBitTruncationAndUnknownHeaderIsRefused) {
    OpenSslCrypto crypto;
    protect::SealedKey key(crypto);
    ASSERT_TRUE(key.DeriveNew(u"pw"));
    Bytes file;
    ASSERT_TRUE(protect::SealText(crypto, key, u"ten chars!", file));
    ASSERT_EQ(file.size(), protect::kSealedMinSize + 10);
    Text text;
    ASSERT_EQ(protect::OpenSealed(crypto, file, key, text), protect::SealedStatus::Ok);

    for (size_t bit = 0; bit < file.size() * 8; ++bit) {
        Bytes changed = file;
        changed[bit / 8] = static_cast<char>(changed[bit / 8] ^ (1 << (bit % 8)));
        EXPECT_NE(protect::OpenSealed(crypto, changed, key, text), protect::SealedStatus::Ok)
            << "bit " << bit;
        EXPECT_TRUE(text.empty());
    }
    for (size_t n = 0; n < file.size(); ++n)
        EXPECT_EQ(protect::OpenSealed(crypto, file.substr(0, n), key, text),
                  n < protect::kSealedMinSize ? protect::SealedStatus::NotSealed
                                              : protect::SealedStatus::WrongPassword)
            << n;

    protect::SealedHeader header;
    auto status = [&](size_t at, char value) {
        Bytes changed = file;
        changed[at] = value;
        return protect::ReadSealedHeader(changed, header);
    };
    EXPECT_EQ(status(8, 2), protect::SealedStatus::UnknownVersion);
    EXPECT_EQ(status(9, 2), protect::SealedStatus::UnknownVersion);
    EXPECT_EQ(status(0, 'l'), protect::SealedStatus::NotSealed);
    for (const uint32_t n : {50u, 99999u, 10000001u, 0x80000000u, 0xFFFFFFFFu}) {
        Bytes changed = file;
        PutIterations(changed, n);
        EXPECT_EQ(protect::ReadSealedHeader(changed, header), protect::SealedStatus::BadIterations) << n;
    }
    for (const uint32_t n : {100000u, 10000000u}) {
        Bytes changed = file;
        PutIterations(changed, n);
        EXPECT_EQ(protect::ReadSealedHeader(changed, header), protect::SealedStatus::Ok) << n;
        EXPECT_EQ(header.iterations, n);
    }

    // Authentic bytes that are not UTF-8 are refused as such, not shown garbled.
    const Bytes head = file.substr(0, protect::kSealedHeaderSize);
    Bytes bad = head + "a\xff";
    uint8_t tag[Crypto::kTagSize];
    ASSERT_TRUE(crypto.Seal(key.Key(), reinterpret_cast<const uint8_t*>(head.data() + 30), head,
                            {bad.data() + head.size(), 2}, tag));
    bad.append(reinterpret_cast<const char*>(tag), sizeof tag);
    EXPECT_EQ(protect::OpenSealed(crypto, bad, key, text), protect::SealedStatus::NotText);
}
