// The CNG adapter of the crypto port against published test vectors, and against a sealed file that Python's
// cryptography wrote.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "base/unicode.h"
#include "protect/sealed.h"
#include "win32/crypto_win.h"
#include "win32/files_win.h"

namespace {

Bytes Hex(std::string_view hex) {
    Bytes out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(Bytes(hex.substr(i, 2)), nullptr, 16));
    return out;
}

const uint8_t* U(const Bytes& b) { return reinterpret_cast<const uint8_t*>(b.data()); }

}  // namespace

TEST(CngCrypto, PublishedVectorsOfPbkdf2AndAesGcm) {
    Win32Crypto crypto;
    // RFC 7914, section 11: PBKDF2-HMAC-SHA256.
    struct Kdf {
        const char *password, *salt;
        uint32_t iterations;
        const char* key;
    };
    for (const Kdf& v : {Kdf{"passwd", "salt", 1,
                             "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
                             "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783"},
                         Kdf{"Password", "NaCl", 80000,
                             "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"
                             "a1d425a1225833549adb841b51c9b3176a272bdebba1d078478f62b397f33c8d"}}) {
        Bytes key(64, '\0');
        ASSERT_TRUE(
            crypto.DeriveKey(v.password, v.salt, v.iterations, reinterpret_cast<uint8_t*>(key.data()), 64));
        EXPECT_EQ(key, Hex(v.key)) << v.password;
    }

    // McGrew and Viega's published GCM test cases 13, 14 and 16 (256-bit keys; 16 with associated data).
    struct Gcm {
        const char *key, *nonce, *aad, *plain, *cipher, *tag;
    };
    const char* k16 = "feffe9928665731c6d6a8f9467308308feffe9928665731c6d6a8f9467308308";
    for (const Gcm& v : {Gcm{"0000000000000000000000000000000000000000000000000000000000000000",
                             "000000000000000000000000", "", "", "", "530f8afbc74536b9a963b4f1c4cb738b"},
                         Gcm{"0000000000000000000000000000000000000000000000000000000000000000",
                             "000000000000000000000000", "", "00000000000000000000000000000000",
                             "cea7403d4d606b6e074ec5d3baf39d18", "d0d1c8a799996bf0265b98b5d48ab919"},
                         Gcm{k16, "cafebabefacedbaddecaf888", "feedfacedeadbeeffeedfacedeadbeefabaddad2",
                             "d9313225f88406e5a55909c5aff5269a86a7a9531534f7da2e4c303d8a318a72"
                             "1c3c0c95956809532fcf0e2449a6b525b16aedf5aa0de657ba637b39",
                             "522dc1f099567d07f47f37a32a84427d643a8cdcbfe5c0c97598a2bd2555d1aa"
                             "8cb08e48590dbb3da7b08b1056828838c5f61e6393ba7a0abcc9f662",
                             "76fc6ece0f4e1768cddf8853bb2d551b"}}) {
        const Bytes key = Hex(v.key), nonce = Hex(v.nonce), aad = Hex(v.aad), plain = Hex(v.plain);
        // Sealed where it lies.
        Bytes cipher = plain, back, tag(16, '\0');
        ASSERT_TRUE(crypto.Seal(U(key), U(nonce), aad, cipher, reinterpret_cast<uint8_t*>(tag.data())));
        EXPECT_EQ(cipher, Hex(v.cipher));
        EXPECT_EQ(tag, Hex(v.tag));
        ASSERT_TRUE(crypto.Open(U(key), U(nonce), aad, cipher, U(tag), back));
        EXPECT_EQ(back, plain);
        // A changed tag or associated data is refused, and nothing of the plaintext comes out.
        tag[15] = static_cast<char>(tag[15] ^ 1);
        back = "stale";
        EXPECT_FALSE(crypto.Open(U(key), U(nonce), aad, cipher, U(tag), back));
        EXPECT_TRUE(back.empty());
        tag[15] = static_cast<char>(tag[15] ^ 1);
        EXPECT_FALSE(crypto.Open(U(key), U(nonce), aad + "x", cipher, U(tag), back));
    }

    uint8_t a[32] = {}, b[32] = {};
    ASSERT_TRUE(crypto.Random(a, sizeof a));
    ASSERT_TRUE(crypto.Random(b, sizeof b));
    EXPECT_FALSE(std::equal(a, a + 32, b));
    crypto.Wipe(a, sizeof a);
    EXPECT_TRUE(std::all_of(a, a + 32, [](uint8_t x) { return x == 0; }));
}

TEST(CngCrypto, OpensTheSealedFileThatPythonWrote) {
    char repo[MAX_PATH];
    if (!GetEnvironmentVariableA("LOCKLEAF_REPO", repo, sizeof repo)) GTEST_SKIP() << "LOCKLEAF_REPO unset";
    Text dir = u"Z:";
    for (const char* c = repo; *c; ++c) dir += *c == '/' ? u'\\' : static_cast<char16_t>(*c);
    Win32Files files;
    Bytes file, expected;
    ASSERT_TRUE(files.ReadAll(dir + u"\\tests\\fixtures\\sealed\\letter.txse", file));
    ASSERT_TRUE(files.ReadAll(dir + u"\\tests\\fixtures\\sealed\\letter.txt", expected));

    Win32Crypto crypto;
    protect::SealedHeader header;
    ASSERT_EQ(protect::ReadSealedHeader(file, header), protect::SealedStatus::Ok);
    protect::SealedKey key(crypto);
    ASSERT_TRUE(key.Derive(u"\u0e23\u0e2b\u0e31\u0e2a-Cl\u00e9-7", header));
    Text text;
    ASSERT_EQ(protect::OpenSealed(crypto, file, key, text), protect::SealedStatus::Ok);
    EXPECT_EQ(base::ToUtf8(text), expected);
}
