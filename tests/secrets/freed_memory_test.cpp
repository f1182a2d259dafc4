// What the program frees while it opens and saves a protected or sealed document must not hold the text or
// the password: every heap block given back through operator delete is searched for them while a Watch is
// alive. A binary of its own, since it replaces the global allocation functions.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "base/unicode.h"
#include "fakes/fake_platform.h"

namespace {

struct Needle {
    const char* what;
    std::string bytes;
};

bool g_watching = false;
const std::vector<Needle>* g_needles = nullptr;
constexpr int kMostHits = 16;
const char* g_hits[kMostHits];
int g_hitCount = 0;

void Inspect(void* block) {
    if (!g_watching || block == nullptr) return;
    const size_t size = malloc_usable_size(block);
    for (const Needle& n : *g_needles) {
        if (memmem(block, size, n.bytes.data(), n.bytes.size()) != nullptr && g_hitCount < kMostHits)
            g_hits[g_hitCount++] = n.what;
    }
}

std::string Utf16Bytes(const Text& t) {
    return std::string(reinterpret_cast<const char*>(t.data()), t.size() * 2);
}

// Collects what was found in freed blocks from its construction to Found().
struct Watch {
    std::vector<Needle> needles;
    explicit Watch(std::vector<Needle> n) : needles(std::move(n)) {
        g_needles = &needles;
        g_hitCount = 0;
        g_watching = true;
    }
    std::vector<std::string> Found() {
        g_watching = false;
        return std::vector<std::string>(g_hits, g_hits + g_hitCount);
    }
    ~Watch() { g_watching = false; }
};

// The middle of each secret, in every form the program holds it: UTF-16, the code page, UTF-8.
const Text kText = u"\u0e41\u0e1c\u0e19\u0e25\u0e31\u0e1a the plan: meet at the old mango tree at dawn";
const Text kPassword = u"correct horse battery staple";

std::vector<Needle> Secrets() {
    const Text text = u"meet at the old mango tree", password = u"horse battery";
    return {{"text (UTF-16)", Utf16Bytes(text)},
            {"text (bytes)", base::ToCodePage(text)},
            {"Thai text (UTF-8)", base::ToUtf8(kText.substr(0, 6))},
            {"password (UTF-16)", Utf16Bytes(password)},
            {"password (bytes)", base::ToCodePage(password)}};
}

struct FreedMemory : ::testing::Test {
    Started s;
    Fou& fou = s.fou();
    FakePrompts& prompts = s.fp.prompts;

    // Saved through Save As, then let go with New, so that the journey starts from the file alone.
    void Write(const Text& path) {
        s.editor().SetText(kText);
        s.fp.dialogs.ChooseNext(path);
        prompts.inputAnswers = {kPassword, kPassword};
        fou.mnu1_Click(kMnuSaveAs);
        ASSERT_EQ(d1::g_FileName, path);
        fou.mnu1_Click(kMnuNew);
        ASSERT_TRUE(s.editor().text.empty());
    }
};

}  // namespace

void* operator new(size_t n) {
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    Inspect(p);
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    Inspect(p);
    std::free(p);
}

TEST_F(FreedMemory, OpeningAndSavingEitherKindFreesNoCopyOfTheTextOrThePassword) {
    for (const Text path : {u"C:\\plan.txse", u"C:\\plan.txs"}) {
        SCOPED_TRACE(base::ToUtf8(path));
        Write(path);
        prompts.inputAnswers = {kPassword};
        {
            Watch watch(Secrets());
            ASSERT_TRUE(fou.SecureOpen(path));
            EXPECT_EQ(watch.Found(), std::vector<std::string>{}) << "open";
        }
        EXPECT_EQ(s.editor().text, kText);
        s.editor().SetSel(0, 0);
        s.editor().Type(u"!");
        {
            Watch watch(Secrets());
            fou.txtData_KeyDown(0, kKeyF2, 0);
            EXPECT_EQ(watch.Found(), std::vector<std::string>{}) << "save";
        }
        EXPECT_FALSE(fou.Modified());
        EXPECT_EQ(prompts.inputs.size(), 3u);  // asked twice by Save As, once by Open; F2 asks nothing
        prompts.inputs.clear();
        {
            // The password would be found here if the watch could not see what is freed.
            Watch watch(Secrets());
            { const Text copy = kPassword; }
            EXPECT_EQ(watch.Found(), std::vector<std::string>{"password (UTF-16)"});
        }
        fou.mnu1_Click(kMnuNew);
    }
}
