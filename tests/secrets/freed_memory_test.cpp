// What the program frees while it opens and saves a protected or sealed document must not hold the text or
// the password: every heap block given back through operator delete is searched for them while a Watch is
// alive. A binary of its own, since it replaces the global allocation functions.
#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "base/unicode.h"
#include "fakes/fake_platform.h"
#include "protect/cipher.h"

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
    // The needles hold the secrets too: left in freed memory, a later block made there would show them.
    ~Watch() {
        g_watching = false;
        for (Needle& n : needles) std::fill(n.bytes.begin(), n.bytes.end(), '\0');
    }
};

// The middle of each secret, in every form the program holds it: UTF-16, the code page, UTF-8.
const Text kText = u"\u0e41\u0e1c\u0e19\u0e25\u0e31\u0e1a the plan: meet at the old mango tree at dawn";
const Text kPassword = u"correct horse battery staple";

std::vector<Needle> Secrets() {
    Text text = u"meet at the old mango tree", password = u"horse battery";
    std::vector<Needle> needles{{"text (UTF-16)", Utf16Bytes(text)},
                                {"text (bytes)", base::ToCodePage(text)},
                                {"Thai text (UTF-8)", base::ToUtf8(kText.substr(0, 6))},
                                {"password (UTF-16)", Utf16Bytes(password)},
                                {"password (bytes)", base::ToCodePage(password)}};
    base::Wipe(text);
    base::Wipe(password);
    return needles;
}

// Made before the watch starts: the needles' own temporaries hold the password too.
std::vector<Needle> PasswordAlone() { return {{"password (UTF-16)", Utf16Bytes(u"horse battery")}}; }

struct FreedMemory : ::testing::Test {
    Started s;
    Editor& editor = s.editor();
    FakePrompts& prompts = s.fp.prompts;

    static bool Plain(const Text& path) { return path.ends_with(u".txt"); }

    // Saved through Save As, then let go with New, so that the journey starts from the file alone.
    void Write(const Text& path) {
        s.box().SetText(kText);
        s.fp.dialogs.ChooseNext(path);
        if (!Plain(path)) prompts.inputAnswers = {kPassword, kPassword};
        editor.OnFileMenu(kMenuSaveAs);
        ASSERT_EQ(s.document().Name(), path);
        editor.OnFileMenu(kMenuNew);
        ASSERT_TRUE(s.box().text.empty());
    }
    // Written, then opened with its password, the caret at the start.
    void Opened(const Text& path) {
        Write(path);
        if (!Plain(path)) prompts.inputAnswers = {kPassword};
        ASSERT_TRUE(editor.SecureOpen(path));
        ASSERT_EQ(s.box().text, kText);
        s.box().SetSel(0, 0);
    }
};

// The kinds of document, and what the watch finds while a command runs on each: a plain document's copies are
// not secret and go as they are, which also shows that the watch sees what the command frees.
struct Kind {
    const char16_t* path;
    bool secret;
};
constexpr Kind kKinds[] = {{u"C:\\plan.txse", true}, {u"C:\\plan.txs", true}, {u"C:\\plan.txt", false}};

bool Has(const std::vector<std::string>& found, const std::string& what) {
    return std::find(found.begin(), found.end(), what) != found.end();
}

}  // namespace

// Every block starts cleared, and is cleared again once inspected: a block the program takes and fills only
// in part must not show what an earlier one held there (a plain document's copy freed as it is, or memory
// that libcrypto and the C library give back with free) as if the program had let it go.
void* operator new(size_t n) {
    if (void* p = std::malloc(n ? n : 1)) {
        std::memset(p, 0, malloc_usable_size(p));
        return p;
    }
    throw std::bad_alloc();
}
void Release(void* p) noexcept {
    Inspect(p);
    if (p) std::memset(p, 0, malloc_usable_size(p));
    std::free(p);
}
void operator delete(void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }

TEST_F(FreedMemory, OpeningAndSavingEitherKindFreesNoCopyOfTheTextOrThePassword) {
    for (const Text path : {u"C:\\plan.txse", u"C:\\plan.txs"}) {
        SCOPED_TRACE(base::ToUtf8(path));
        Write(path);
        prompts.inputAnswers = {kPassword};
        {
            Watch watch(Secrets());
            ASSERT_TRUE(editor.SecureOpen(path));
            EXPECT_EQ(watch.Found(), std::vector<std::string>{}) << "open";
        }
        EXPECT_EQ(s.box().text, kText);
        s.box().SetSel(0, 0);
        s.box().Type(u"!");
        {
            Watch watch(Secrets());
            editor.OnTextKeyDown(0, kKeyF2, 0);
            EXPECT_EQ(watch.Found(), std::vector<std::string>{}) << "save";
        }
        EXPECT_FALSE(editor.CurrentDocument().modified);
        EXPECT_EQ(prompts.inputs.size(), 3u);  // asked twice by Save As, once by Open; F2 asks nothing
        prompts.inputs.clear();
        {
            // The password would be found here if the watch could not see what is freed.
            Watch watch(Secrets());
            { const Text copy = kPassword; }
            EXPECT_EQ(watch.Found(), std::vector<std::string>{"password (UTF-16)"});
        }
        editor.OnFileMenu(kMenuNew);
    }
}

TEST_F(FreedMemory, RefusedCancelledAndWrongPasswordOpensFreeNoCopyOfTheRememberedPassword) {
    Opened(u"C:\\plan.txs");
    ASSERT_EQ(s.document().Password(), kPassword);
    Bytes other;
    protect::MaskDocument(u"another password", u"another text", other);
    s.fp.files.Put(u"C:\\other.txs", other);
    s.fp.files.Put(u"C:\\other.txse", other);  // no sealed file: refused
    const struct {
        const char16_t* path;
        std::deque<Text> answers;
    } cases[] = {{u"C:\\missing.txs", {}},
                 {u"C:\\other.txse", {}},
                 {u"C:\\other.txs", {u"wrong password"}},  // the remembered one is tried first, then asked
                 {u"C:\\other.txs", {}}};                  // and Cancel
    for (const auto& c : cases) {
        SCOPED_TRACE(base::ToUtf8(c.path));
        prompts.inputAnswers = c.answers;
        Watch watch(PasswordAlone());
        EXPECT_FALSE(editor.SecureOpen(c.path));
        EXPECT_EQ(watch.Found(), std::vector<std::string>{});
        EXPECT_EQ(s.document().Password(), kPassword);  // still the document's, which stays
        EXPECT_EQ(s.box().text, kText);
    }
    {
        Watch watch(PasswordAlone());
        { const Text copy = s.document().Password(); }
        EXPECT_EQ(watch.Found(), std::vector<std::string>{"password (UTF-16)"}) << "control";
    }
}

// The find commands read the box's text where it lies and copy none of it, whatever the document; Word Wrap
// and Replace All make a text of their own (the other box's, the replaced one), which a plain document lets
// go as it is: that shows the watch sees what they free.
TEST_F(FreedMemory, FindF3CtrlF3WordWrapAndReplaceAllFreeNoCopyOfASecretText) {
    const struct {
        const char* name;
        std::function<void(Editor&, Started&)> run;
        bool copies;
    } commands[] = {
        {"Find", [](Editor& f, Started&) { f.OnEditMenu(kMenuFind); }, false},
        {"F3",
         [](Editor& f, Started&) {
             f.Finder().State().MatchCase = false;  // the locale's search
             f.Finder().State().FindText = u"MANGO";
             f.OnTextKeyDown(0, kKeyF3, 0);
         },
         false},
        {"Ctrl+F3", [](Editor& f, Started&) { f.OnTextKeyDown(0, kKeyF3, kCtrlMask); }, false},
        {"Find, matching case",
         [](Editor& f, Started& st) {
             f.OnEditMenu(kMenuFind);
             st.findHost.w->fields[0].text = u"mango";
             st.findHost.w->matchCase.value = 1;
             f.Finder().OnMatchCase();
             f.Finder().OnButton(0);
         },
         false},
        {"Word Wrap on and off",  // the box it hides is handed a new buffer and the old one overwritten, any
                                  // kind
         [](Editor& f, Started&) {
             f.OnEditMenu(kMenuWordWrap);
             f.OnEditMenu(kMenuWordWrap);
         },
         false},
        {"Replace All",  // the same length: the box's own buffer is not moved by it
         [](Editor& f, Started& st) {
             f.OnEditMenu(kMenuFind);
             st.findHost.w->fields[0].text = u"dawn";
             st.findHost.w->fields[1].text = u"dusk";
             f.Finder().OnButton(2);
         },
         true},
        // Undo and redo make the whole text once for a step of many pieces, and a typed word grows in the
        // history letter by letter.
        {"Replace All of every space, undone and redone",
         [](Editor& f, Started&) {
             f.Finder().State().FindText = u" ";
             f.Finder().State().ReplaceText = u"_";
             f.Finder().ReplaceAll();
             f.OnTextKeyDown(0, kKeyZ, kCtrlMask);
             f.OnTextKeyDown(0, kKeyY, kCtrlMask);
         },
         true},
        {"Typing, undone, redone, undone and typed over",
         [](Editor& f, Started& st) {
             // Room to type in, as the box has: the history's copies alone are watched.
             Text roomy;
             roomy.reserve(kText.size() * 4);
             roomy = st.box().text;
             base::Wipe(st.box().text);
             st.box().text.swap(roomy);
             st.box().SetSel(0, 0);
             // Twice: the history's step outgrows a buffer that held the whole phrase.
             for (int k = 0; k < 2; ++k)
                 for (const char16_t c : std::u16string_view(u"meet at the old mango tree, "))
                     st.box().Type(Text(1, c));
             f.OnTextKeyDown(0, kKeyZ, kCtrlMask);
             f.OnTextKeyDown(0, kKeyY, kCtrlMask);
             f.OnTextKeyDown(0, kKeyZ, kCtrlMask);
             st.box().Type(u"!");  // what was undone can no longer be redone: it goes
         },
         false},
    };
    for (const Kind& kind : kKinds) {
        for (const auto& command : commands) {
            SCOPED_TRACE(base::ToUtf8(kind.path) + " " + command.name);
            Opened(kind.path);
            std::vector<std::string> found;
            {
                Watch watch(Secrets());
                command.run(editor, s);
                found = watch.Found();
            }
            EXPECT_TRUE(prompts.messages.empty());
            if (kind.secret)
                EXPECT_EQ(found, std::vector<std::string>{});
            else
                EXPECT_EQ(Has(found, "text (UTF-16)"), command.copies) << "a copy of the text freed";
            if (command.name == std::string("Replace All"))
                EXPECT_NE(s.box().text.find(u"old mango tree at dusk"), Text::npos);
            else if (command.name[0] == 'R')
                EXPECT_EQ(s.box().text, base::ReplaceAll(kText, u" ", u"_"));
            else if (command.name[0] == 'T')
                EXPECT_EQ(s.box().text, u"!" + kText);
            else
                EXPECT_EQ(s.box().text, kText);
            EXPECT_EQ(s.editor().ActiveEditorIndex(), 0);
            if (editor.Finder().Loaded()) editor.Finder().Unload();
            editor.OnFileMenu(kMenuNew);
            prompts.messages.clear();  // a Replace All leaves the document to be saved or not
        }
    }
}

TEST_F(FreedMemory, NewOpenADropExitAndWordWrapLetGoOfASecretTextOnlyOnceTheBoxHasOverwrittenIt) {
    const struct {
        const char* name;
        std::function<void(Editor&)> run;
        bool plainFrees;  // a plain text goes as it is (at Exit the process ends with it in the box)
    } journeys[] = {
        {"New", [](Editor& f) { f.OnFileMenu(kMenuNew); }, true},
        {"Open", [](Editor& f) { f.SecureOpen(u"C:\\next.txt"); }, true},
        {"drop", [](Editor& f) { f.OnFilesDropped(0, {u"C:\\next.txt"}, kDropEffectAll); }, true},
        {"Exit", [](Editor& f) { f.OnFileMenu(kMenuExit); }, false},
        {"Word Wrap", [](Editor& f) { f.OnEditMenu(kMenuWordWrap); },
         false},  // the hidden box's, of any kind
    };
    s.fp.files.Put(u"C:\\next.txt", "the next document, a longer one than the first so that the box grows");
    for (const Kind& kind : kKinds) {
        for (const auto& journey : journeys) {
            SCOPED_TRACE(base::ToUtf8(kind.path) + " " + journey.name);
            Opened(kind.path);
            std::vector<std::string> found;
            {
                Watch watch(Secrets());
                journey.run(editor);
                found = watch.Found();
            }
            if (kind.secret || !journey.plainFrees)
                EXPECT_EQ(found, std::vector<std::string>{});
            else
                EXPECT_TRUE(Has(found, "text (UTF-16)")) << "the box gives back a plain text as it is";
            if (journey.name == std::string("Exit")) {
                EXPECT_TRUE(s.fp.loop.ended);
                EXPECT_EQ(s.box().text, kind.secret ? Text() : kText);
            }
            // The text is held by the box the user sees, if anywhere, and by no hidden one.
            const bool wrapped = journey.name == std::string("Word Wrap");
            EXPECT_EQ(s.editor().ActiveEditorIndex(), wrapped ? 1 : 0);
            if (kind.secret) {
                EXPECT_EQ(s.host.textBoxes[1 - s.editor().ActiveEditorIndex()].text, u"");
            }
            if (wrapped) editor.OnEditMenu(kMenuWordWrap);
            editor.OnFileMenu(kMenuNew);
        }
    }
    for (const auto& m : prompts.messages) ADD_FAILURE() << base::ToUtf8(m.text);
}

TEST_F(FreedMemory, ASnapshotWrittenALockAndARestoreFreeNoCopyOfASecretTextOrPassword) {
    for (const Text path : {u"C:\\plan.txse", u"C:\\plan.txs"}) {
        SCOPED_TRACE(base::ToUtf8(path));
        Opened(path);
        s.box().Type(u"!");
        {
            Watch watch(Secrets());
            s.fp.clock.elapsed += 1200;  // typing paused: the timer makes room for the copy, then writes
            editor.OnTimer();
            editor.OnTimer();
            EXPECT_EQ(watch.Found(), std::vector<std::string>{}) << "written";
        }
        EXPECT_EQ(s.fp.files.ListFiles(u"C:\\Users\\me\\AppData\\Local\\Lockleaf\\Recovery", u".snap").size(),
                  1u);
        // Locked while the user is away, and brought back by the password.
        {
            Watch watch(Secrets());
            editor.Form_SessionLock();
            EXPECT_EQ(watch.Found(), std::vector<std::string>{}) << "locked";
        }
        ASSERT_TRUE(editor.Locked());
        EXPECT_TRUE(s.box().text.empty());
        prompts.inputAnswers = {kPassword};
        {
            Watch watch(Secrets());
            editor.OnTextInput(true);
            EXPECT_EQ(watch.Found(), std::vector<std::string>{}) << "unlocked";
        }
        EXPECT_EQ(s.box().text, u"!" + kText);
        prompts.msgAnswers = {MsgResult::No};
        editor.OnFileMenu(kMenuNew);  // let go: the snapshot with it
    }
    // A sealed document's snapshot, restored by the next start under its password.
    Opened(u"C:\\plan.txse");
    s.box().Type(u"!");
    s.fp.clock.elapsed += 1200;
    editor.OnTimer();
    editor.OnTimer();
    Started next(false);  // this process ends without a close
    next.fp.files.files = s.fp.files.files;
    next.fp.files.folders = s.fp.files.folders;
    next.fp.prompts.msgAnswers = {MsgResult::Yes};
    next.fp.prompts.inputAnswers = {kPassword};
    {
        Watch watch(Secrets());
        next.Start();
        EXPECT_EQ(watch.Found(), std::vector<std::string>{}) << "restored";
    }
    EXPECT_EQ(next.box().text, u"!" + kText);
    {
        Watch watch(Secrets());
        { const Text copy = next.box().text; }
        EXPECT_TRUE(Has(watch.Found(), "text (UTF-16)")) << "control: a copy freed as it is is seen";
    }
}
