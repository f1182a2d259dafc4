#include "protect/cipher.h"

#include <gtest/gtest.h>

#include "base/codepage.h"

namespace {

Text Rotated(int index, int q) {
    const Text phrase(protect::KeyPhrases[index]);
    return phrase.substr(q - 1) + phrase.substr(0, q - 1);
}

uint64_t Fnv1a(const Bytes& b) {
    uint64_t h = 0xcbf29ce484222325ULL;
    for (unsigned char c : b) h = (h ^ c) * 0x100000001b3ULL;
    return h;
}

Text Repeat(const Text& t, int n) {
    Text r;
    for (int i = 0; i < n; ++i) r += t;
    return r;
}

Bytes SavedFile(const Text& password, const Text& text) {
    Bytes file;
    protect::MaskDocument(password, text, file);
    return file;
}

std::string Hex(const Bytes& b) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (unsigned char c : b) s += {digits[c >> 4], digits[c & 15]};
    return s;
}

}  // namespace

// Stored files depend on these constants: any change to them, or to the algorithm, must fail here.
TEST(CipherConstants, PhrasesHaveTheirLengthsAndAreThaiLettersAndSpaces) {
    const size_t lengths[] = {62, 89, 81, 70, 74};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(protect::KeyPhrases[i].size(), lengths[i]) << i;
    EXPECT_EQ(protect::MaskPhrase.size(), 52u);
    auto thai = [](std::u16string_view s) {
        for (char16_t c : s)
            if (c != u' ' && !(c >= 0x0E01 && c <= 0x0E3A) && !(c >= 0x0E40 && c <= 0x0E4D)) return false;
        return true;
    };
    for (auto phrase : protect::KeyPhrases) EXPECT_TRUE(thai(phrase));
    EXPECT_TRUE(thai(protect::MaskPhrase));
    EXPECT_EQ(protect::MaskBytes().find('?'), Bytes::npos);  // every letter has its own byte
}

TEST(CipherConstants, KnownFilesKeepTheirBytes) {
    EXPECT_EQ(Hex(SavedFile(u"abc", u"Hello")), "e5ce0715154b6d69");
    EXPECT_EQ(Hex(SavedFile(u"abc", u"Hello world")), "e5ce0715154b6d692d2f15681a6d");
    // One long file per phrase (first letters d..h give indexes 0..4), longer than key and mask periods.
    const Text text = Repeat(u"Lockleaf keeps this note. ", 200);
    EXPECT_EQ(Fnv1a(SavedFile(u"dog7", text)), 0xbe7e7883b8d39783ULL);
    EXPECT_EQ(Fnv1a(SavedFile(u"ear1", text)), 0x7041681da721d2bfULL);
    EXPECT_EQ(Fnv1a(SavedFile(u"fox2", text)), 0xec20f48e28f40a46ULL);
    EXPECT_EQ(Fnv1a(SavedFile(u"gnu3", text)), 0xba0d670ecae7c051ULL);
    EXPECT_EQ(Fnv1a(SavedFile(u"hen4", text)), 0xc008ca53b870eaefULL);
}

TEST(FillToWidth, PadsOnTheChosenSideWithTheFirstFillCharacter) {
    EXPECT_EQ(protect::FillToWidth(u"ab", 4, u"0", false), u"00ab");
    EXPECT_EQ(protect::FillToWidth(u"ab", 5, u"xy", true), u"abxxx");
    EXPECT_EQ(protect::FillToWidth(u"abcd", 4, u"0", false), u"abcd");
    EXPECT_EQ(protect::FillToWidth(u"abcdef", 4, u"0", false), u"abcdef");
    EXPECT_EQ(protect::FillToWidth(u"", 2, u"0", false), u"00");
    EXPECT_EQ(protect::FillToWidth(u"ab", 4, u"", false), u"ab");
}

TEST(FileKey, ShortPasswordsGetZerosInFrontAndThePhraseSitsAfterTheSecondCharacter) {
    // 'a' = 97: phrase 97 mod 5 = 2; 'c' = 99: q = 99 mod 30 + 1 = 10.
    const Bytes abc = protect::GetFileKey(u"abc");
    EXPECT_EQ(abc.size(), 85u);
    EXPECT_EQ(abc, base::ToCodePage(u"0a" + Rotated(2, 10) + u"bc"));
    // Two characters: the key text begins with two zeros and ends with the password.
    const Bytes two = protect::GetFileKey(u"ab");  // phrase 2, 'b' = 98 -> q = 9
    EXPECT_EQ(two, base::ToCodePage(u"00" + Rotated(2, 9) + u"ab"));
    // One character is first and last at once: 'a' -> phrase 2 and q = 97 mod 30 + 1 = 8.
    EXPECT_EQ(protect::GetFileKey(u"a"), base::ToCodePage(u"00" + Rotated(2, 8) + u"0a"));
    // Four or more characters are used as they are.
    EXPECT_EQ(protect::GetFileKey(u"secret"),
              base::ToCodePage(u"se" + Rotated(115 % 5, 116 % 30 + 1) + u"cret"));
}

TEST(FileKey, FirstCharacterPicksThePhraseAndLastCharacterTheRotation) {
    // 'd' = 100 -> phrase 0 (62 letters): 4 + 62 = 66 bytes; 'x' = 120, a multiple of 30: no rotation.
    const Bytes key = protect::GetFileKey(u"dxx");
    EXPECT_EQ(key.size(), 66u);
    EXPECT_EQ(key, base::ToCodePage(u"0d" + Text(protect::KeyPhrases[0]) + u"xx"));
    for (int index = 0; index < 5; ++index) {
        const Text pw = Text(1, static_cast<char16_t>(u'd' + index)) + u"zzz";  // 'z' = 122 -> q = 3
        EXPECT_EQ(protect::GetFileKey(pw),
                  base::ToCodePage(pw.substr(0, 2) + Rotated(index, 3) + pw.substr(2)))
            << index;
    }
}

TEST(XorBytes, IsByteKOfDataKeyAndMaskAndUndoesItself) {
    // Key lengths 85 (lcm with 52: 4420) and 67 (coprime: 3484); data longer than either period,
    // so every wrap of the precomputed stream is crossed.
    for (const Text pw : {u"abc", u"dabcd"}) {
        const Bytes key = protect::GetFileKey(pw);
        Bytes data(10000, '\0');
        for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + 3);
        const Bytes original = data;
        protect::XorBytes(data, key);
        const Bytes& m = protect::MaskBytes();
        for (size_t k = 0; k < data.size(); ++k)
            ASSERT_EQ(data[k], static_cast<char>(original[k] ^ key[k % key.size()] ^ m[k % 52])) << k;
        EXPECT_EQ(protect::XorBytes(data, key), original);
    }
}

TEST(XorBytes, VeryLongKeysAndEmptyData) {
    // A key whose period with the mask is beyond what is precomputed is combined byte by byte.
    const Bytes key = protect::GetFileKey(Text(30000, u'k'));  // 30081 bytes, coprime with 52
    Bytes data(70000, 'z');
    const Bytes original = data;
    protect::XorBytes(data, key);
    for (size_t k : {0u, 30080u, 30081u, 52u * 30081u % 70000u, 69999u})
        EXPECT_EQ(data[k], static_cast<char>('z' ^ key[k % key.size()] ^ protect::MaskBytes()[k % 52])) << k;
    EXPECT_EQ(protect::XorBytes(data, key), original);
    Bytes empty;
    EXPECT_EQ(protect::XorBytes(empty, key), "");
}

TEST(EncodeDecode, RoundTripStripsExactlyThePassword) {
    const Text pw = u"pw1";
    Text data = pw + u"line one\r\nสวัสดี";
    protect::EncodePw(data, protect::GetFileKey(pw));
    EXPECT_EQ(data.size(), 3u + 16u);
    EXPECT_EQ(base::ToCodePage(data), SavedFile(pw, u"line one\r\nสวัสดี"));  // both forms give the file bytes
    Text content = data;
    EXPECT_TRUE(protect::DecodePw(content, pw));
    EXPECT_EQ(content, u"line one\r\nสวัสดี");
}

TEST(EncodeDecode, PasswordsCompareExactly) {
    Text saved = u"Secret" + Text(u"text");
    protect::EncodePw(saved, protect::GetFileKey(u"Secret"));
    for (const Text wrong : {u"secret", u"Secre", u"Secret1", u"x"}) {
        Text content = saved;
        EXPECT_FALSE(protect::DecodePw(content, wrong)) << std::string(wrong.begin(), wrong.end());
        EXPECT_EQ(content, u"");
    }
    Text content = saved;
    EXPECT_TRUE(protect::DecodePw(content, u"Secret"));
    EXPECT_EQ(content, u"text");
}

TEST(EncodeDecode, APasswordCharacterTheCodePageLacksIsStoredAsQuestionMarkAndStillOpens) {
    const Bytes file = SavedFile(u"p\u00e9", u"doc");
    EXPECT_EQ(file, SavedFile(u"p?", u"doc"));
    Text text;
    EXPECT_TRUE(protect::UnmaskDocument(file, u"p\u00e9", text));
    EXPECT_EQ(text, u"doc");
    EXPECT_FALSE(protect::UnmaskDocument(file, u"p\u00e8x", text));
    EXPECT_EQ(text, u"");
}

TEST(EncodeDecode, FileShorterThanThePasswordIsAWrongPassword) {
    const Bytes file = SavedFile(u"ab", u"");
    Text text = u"stale";
    EXPECT_FALSE(protect::UnmaskDocument(file.substr(0, 1), u"ab", text));
    EXPECT_EQ(text, u"");
    EXPECT_TRUE(protect::UnmaskDocument(file, u"ab", text));
    EXPECT_EQ(text, u"");
}

TEST(EncodeDecode, EveryByteValueAndLongDocumentsSurvive) {
    Text text = base::FromCodePage([] {
        Bytes b(256, '\0');
        for (int i = 0; i < 256; ++i) b[i] = static_cast<char>(i);
        return b;
    }());
    text = Repeat(text, 300);  // longer than the internal chunk, so chunk edges are crossed
    const Bytes file = SavedFile(u"key", text);
    ASSERT_EQ(file.size(), 3 + text.size());
    Text back;
    ASSERT_TRUE(protect::UnmaskDocument(file, u"key", back));
    EXPECT_EQ(back, text);
}
