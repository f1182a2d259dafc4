// The DPAPI adapter of the data protection port: what it protects comes back whole, small, large or empty;
// the blob does not show the plaintext; a changed blob or one made with another entropy is refused.
#include <windows.h>

#include <gtest/gtest.h>
#include <wincrypt.h>

#include "win32/data_protection_win.h"
#include "win32/scoped.h"
#include "win32/system_dlls.h"

namespace {

// Bytes that never repeat a short run, so that any stretch of them is a fair search for the plaintext.
Bytes Noise(size_t n, uint32_t seed) {
    Bytes b(n, '\0');
    for (char& c : b) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    return b;
}

// A blob as another program of the same user would make it: its own entropy, or none.
Bytes ProtectedWith(std::string_view plain, const char* entropy) {
    DATA_BLOB in{static_cast<DWORD>(plain.size()), reinterpret_cast<BYTE*>(const_cast<char*>(plain.data()))};
    DATA_BLOB extra{entropy ? static_cast<DWORD>(strlen(entropy)) : 0,
                    reinterpret_cast<BYTE*>(const_cast<char*>(entropy))};
    DATA_BLOB out{};
    if (!win::Crypt32().CryptProtectData(&in, nullptr, entropy ? &extra : nullptr, nullptr, nullptr,
                                         CRYPTPROTECT_UI_FORBIDDEN, &out))
        return {};
    const win::ScopedLocal owner(out.pbData);
    return Bytes(reinterpret_cast<const char*>(out.pbData), out.cbData);
}

}  // namespace

TEST(DataProtection, SmallLargeAndEmptyInputsComeBackWholeAndTheBlobDoesNotShowThem) {
    Win32DataProtection protection;
    const Bytes small("unsaved \0text\xff\x80", 15);
    Bytes blob, plain = "stale";
    ASSERT_TRUE(protection.Protect(small, blob));
    EXPECT_GT(blob.size(), small.size());
    EXPECT_EQ(blob.find("unsaved"), Bytes::npos);
    ASSERT_TRUE(protection.Unprotect(blob, plain));
    EXPECT_EQ(plain, small);
    // Each blob is salted afresh: the same text twice gives two blobs, both of which open.
    Bytes second;
    ASSERT_TRUE(protection.Protect(small, second));
    EXPECT_NE(second, blob);
    ASSERT_TRUE(protection.Unprotect(second, plain));
    EXPECT_EQ(plain, small);

    const Bytes large = Noise(1 << 20, 7);
    Bytes big;
    ASSERT_TRUE(protection.Protect(large, big));
    EXPECT_GE(big.size(), large.size());
    for (size_t at : {size_t{0}, size_t{4096}, large.size() / 2, large.size() - 32})
        EXPECT_EQ(big.find(large.substr(at, 32)), Bytes::npos)
            << "plaintext at " << at << " shows in the blob";
    ASSERT_TRUE(protection.Unprotect(big, plain));
    EXPECT_EQ(plain.size(), large.size());
    EXPECT_TRUE(plain == large);

    // Nothing to protect is protected all the same, and comes back as nothing.
    Bytes none;
    ASSERT_TRUE(protection.Protect({}, none));
    EXPECT_FALSE(none.empty());
    plain = "stale";
    ASSERT_TRUE(protection.Unprotect(none, plain));
    EXPECT_TRUE(plain.empty());
}

TEST(DataProtection, AChangedCutOrForeignBlobIsRefusedAndLeavesNothing) {
    Win32DataProtection protection;
    const Bytes text = Noise(4096, 3);
    Bytes blob, plain;
    ASSERT_TRUE(protection.Protect(text, blob));

    // One byte changed in the middle (the ciphertext) and at the end (what checks it).
    for (size_t at : {blob.size() / 2, blob.size() - 1}) {
        Bytes changed = blob;
        changed[at] ^= 0x01;
        plain = "stale";
        EXPECT_FALSE(protection.Unprotect(changed, plain)) << "byte " << at << " of " << blob.size();
        EXPECT_TRUE(plain.empty());
    }
    plain = "stale";
    EXPECT_FALSE(protection.Unprotect(blob.substr(0, blob.size() - 20), plain));
    EXPECT_TRUE(plain.empty());
    EXPECT_FALSE(protection.Unprotect({}, plain));
    EXPECT_FALSE(protection.Unprotect("not a blob at all", plain));
    EXPECT_TRUE(plain.empty());

    // Another program of the same user, with an entropy of its own or none, cannot open ours, nor we its.
    for (const char* entropy : {static_cast<const char*>(nullptr), "Another program"}) {
        const Bytes foreign = ProtectedWith(text, entropy);
        ASSERT_FALSE(foreign.empty());
        plain = "stale";
        EXPECT_FALSE(protection.Unprotect(foreign, plain));
        EXPECT_TRUE(plain.empty());
    }
    // The same call with the program's own entropy is what opens: the adapter adds nothing else.
    const Bytes ours = ProtectedWith(text, "Lockleaf snapshot");
    ASSERT_TRUE(protection.Unprotect(ours, plain));
    EXPECT_EQ(plain, text);
    ASSERT_TRUE(protection.Unprotect(blob, plain));
    EXPECT_EQ(plain, text);
}
