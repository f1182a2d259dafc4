// The dialog object over the real common dialogs: a thread timer plays the user inside the modal loop,
// reads what the dialog shows and cancels or confirms it, so no test waits on a person.
#include "win32/file_dialogs_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/text.h"
#include "dialogs/file_dialog_state.h"
#include "platform/product.h"
#include "win32/process_win.h"
#include "win32/win_util.h"
#include "win32/window_text.h"
// after windows.h
#include <commdlg.h>

namespace {

using test_windows::TextOf;

constexpr int kTypeCombo = 0x470;              // cmb1
constexpr int kNameFields[] = {0x47c, 0x480};  // cmb13 (newer templates), edt1
constexpr int kGiveUpTicks = 200;              // 10 s, then the dialog is cancelled regardless

struct Seen {
    int dialogs = 0;
    std::wstring title;
    std::vector<std::wstring> types;
    int selectedType = -1;
    std::wstring name;
};

Seen g_seen;
std::function<void(HWND)> g_act;
int g_ticks = 0;
bool g_acted = false;

HWND NameField(HWND dlg) {
    for (int id : kNameFields)
        if (HWND h = GetDlgItem(dlg, id); h && IsWindowVisible(h)) return h;
    return nullptr;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dlg = test_windows::ShownDialog();
    if (!dlg) return;
    if (++g_ticks > kGiveUpTicks) {
        PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    HWND combo = GetDlgItem(dlg, kTypeCombo);
    HWND name = NameField(dlg);
    // The dialog fills its controls after it shows; wait until the type list is there.
    if (g_acted || !combo || !name || SendMessageW(combo, CB_GETCOUNT, 0, 0) <= 0) return;
    g_acted = true;
    ++g_seen.dialogs;
    g_seen.title = TextOf(dlg);
    const LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        std::wstring item(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        item.resize(
            static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
        g_seen.types.push_back(item);
    }
    g_seen.selectedType = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    g_seen.name = TextOf(name);
    g_act(dlg);
}

void Cancel(HWND dlg) { PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0); }

void ChooseType(HWND dlg, int typeIndex) {
    HWND combo = GetDlgItem(dlg, kTypeCombo);
    SendMessageW(combo, CB_SETCURSEL, typeIndex, 0);
    // A choice in the drop-down list ends with both notifications; dialogs differ in which they act on.
    for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
        SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(kTypeCombo, code), reinterpret_cast<LPARAM>(combo));
}

// Chooses a file type and a name as a user would, then presses the dialog's OK button.
std::function<void(HWND)> Choose(int typeIndex, std::wstring name) {
    return [typeIndex, name](HWND dlg) {
        ChooseType(dlg, typeIndex);
        SetWindowTextW(NameField(dlg), name.c_str());
        PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
    };
}

// A list written as "name|patterns|...", as the dialog's types.
std::vector<FileType> Types(const Text& list) {
    const std::vector<Text> parts = base::SplitText(list, u"|");
    std::vector<FileType> types;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) types.push_back({parts[i], parts[i + 1]});
    return types;
}

struct RealDialogs : ::testing::Test {
    Win32FileDialogs dialogs;
    Win32Process process;
    Text folder;

    void SetUp() override {
        g_seen = Seen{};
        g_ticks = 0;
        g_acted = false;
        g_act = Cancel;
        wchar_t tmp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, tmp);
        std::wstring dir = std::wstring(tmp) + L"lockleaf-dlg";
        CreateDirectoryW(dir.c_str(), nullptr);
        folder = win::FromW(dir.c_str());
    }

    template <class F>
    auto Run(F show) {
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, Tick);
        auto result = show();
        KillTimer(nullptr, timer);
        return result;
    }
};

const char16_t kOpenList[] =
    u"All Supported Files (*.TXS, *.TXT)|*.txs;*.txt|Secret Files (*.TXS)|*.txs|Text Files (*.TXT)|*.txt|"
    u"All Files (*.*)|*.*";

}  // namespace

TEST_F(RealDialogs, OpenShowsTitleTypeListPreselectionAndNameAndCancelReturnsEmpty) {
    FileDialogState dlg(dialogs, process, u"C:\\", kProductName);
    dlg.Filter = Types(kOpenList);
    dlg.FilterIndex = 2;
    dlg.FileName = folder + u"\\memo.txs";
    const auto result = Run([&] { return dlg.ShowOpen(); });

    ASSERT_EQ(g_seen.dialogs, 1) << "the Open dialog did not appear: error " << CommDlgExtendedError();
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, u"");
    EXPECT_EQ(g_seen.title, L"Lockleaf");
    EXPECT_EQ(g_seen.types,
              (std::vector<std::wstring>{L"All Supported Files (*.TXS, *.TXT)", L"Secret Files (*.TXS)",
                                         L"Text Files (*.TXT)", L"All Files (*.*)"}));
    EXPECT_EQ(g_seen.selectedType, 1);
    EXPECT_NE(g_seen.name.find(L"memo.txs"), std::wstring::npos)
        << std::string(g_seen.name.begin(), g_seen.name.end());
    EXPECT_EQ(dlg.InitDir, process.CurrentDirectory());
    EXPECT_EQ(dlg.FilterIndex, 2);
}

TEST_F(RealDialogs, TheInitialFilterOfANewObjectListsAllFiles) {
    FileDialogState dlg(dialogs, process, u"C:\\", kProductName);
    Run([&] { return dlg.ShowOpen(); });
    ASSERT_EQ(g_seen.dialogs, 1);
    EXPECT_EQ(g_seen.types, std::vector<std::wstring>{L"All Files (*.*) "});
    EXPECT_EQ(g_seen.title, L"Lockleaf");
}

TEST_F(RealDialogs, SaveAppendsTheChosenTypesExtensionAndReportsTheType) {
    FileDialogState dlg(dialogs, process, u"C:\\", kProductName);
    dlg.Filter = Types(u"Secret Files (*.TXS)|*.txs|Text Files (*.TXT)|*.txt|All Files (*.*)|*.*");
    dlg.FilterIndex = 1;
    dlg.ConfirmOverwrite = dlg.HideReadOnly = true;
    dlg.FileName = folder + u"\\memo";
    g_act = Choose(1, std::wstring(win::W(folder)) + L"\\memo");
    const auto result = Run([&] { return dlg.ShowSave(); });

    ASSERT_EQ(g_seen.dialogs, 1) << "the Save As dialog did not appear: error " << CommDlgExtendedError();
    EXPECT_EQ(g_seen.selectedType, 0);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, folder + u"\\memo.txt");
    EXPECT_EQ(dlg.FilterIndex, 2);
}

TEST_F(RealDialogs, SaveCancelStillReportsTheTypeLastChosen) {
    FileDialogState dlg(dialogs, process, u"C:\\", kProductName);
    dlg.Filter = Types(u"Secret Files (*.TXS)|*.txs|Text Files (*.TXT)|*.txt|All Files (*.*)|*.*");
    dlg.FilterIndex = 3;
    dlg.FileName = folder + u"\\memo";
    g_act = [](HWND d) {
        ChooseType(d, 0);
        Cancel(d);
    };
    const auto result = Run([&] { return dlg.ShowSave(); });
    ASSERT_EQ(g_seen.dialogs, 1);
    EXPECT_EQ(g_seen.selectedType, 2);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, u"");
    EXPECT_EQ(dlg.FilterIndex, 1);
    EXPECT_EQ(dlg.InitDir, process.CurrentDirectory());
}

TEST_F(RealDialogs, ANameBeyondTheBufferIsRefusedWithoutADialogAndADeepOneIsShown) {
    FileDialogState dlg(dialogs, process, u"C:\\", kProductName);
    dlg.FileName = u"C:\\" + Text(FileDialogRequest::kLongestFile, u'a');
    EXPECT_FALSE(Run([&] { return dlg.ShowOpen(); }).has_value());
    EXPECT_FALSE(Run([&] { return dlg.ShowSave(); }).has_value());
    EXPECT_EQ(g_seen.dialogs, 0);
    EXPECT_EQ(dlg.InitDir, u"C:");

    dlg.FileName = u"C:\\" + Text(300, u'a');  // longer than MAX_PATH
    const auto result = Run([&] { return dlg.ShowOpen(); });
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, u"");
}

// The Encoding list of either dialog: the names in order with the given one selected, off while the first
// type (a protected or sealed one) is chosen and on again for a text type; the entry picked before OK comes
// back to the dialog object with the file.
TEST_F(RealDialogs, BothDialogsOfferTheEncodingListAndReportTheEncodingChosen) {
    struct Case {
        bool save;
        const char16_t* filter;
        std::vector<std::wstring> names;
        int32_t given, picked;
    };
    const std::vector<std::wstring> saved = {L"ANSI", L"UTF-8", L"UTF-8 with BOM", L"UTF-16 LE",
                                             L"UTF-16 BE"};
    std::vector<std::wstring> opened = saved;
    opened.insert(opened.begin(), L"Auto-detect");
    const Case cases[] = {
        {true, u"Secret Files (*.TXS)|*.txs|Text Files (*.TXT)|*.txt|All Files (*.*)|*.*", saved, 2, 4},
        {false, u"Sealed Files (*.TXSE)|*.txse|Text Files (*.TXT)|*.txt|All Files (*.*)|*.*", opened, 0, 1},
    };
    const std::wstring file = std::wstring(win::W(folder)) + L"\\enc.txt";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.save ? "Save As" : "Open");
        g_seen = Seen{};
        g_ticks = 0;
        g_acted = false;
        // The Open dialog takes only a file that is there; Save As would ask before replacing one.
        if (!c.save)
            CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        FileDialogState dlg(dialogs, process, u"C:\\", kProductName);
        dlg.Filter = Types(c.filter);
        dlg.FilterIndex = 1;
        dlg.ConfirmOverwrite = dlg.HideReadOnly = c.save;  // as Save As asks for them
        dlg.FileName = folder + u"\\enc";
        for (const std::wstring& name : c.names) dlg.Encodings.push_back(win::FromW(name.c_str()));
        dlg.EncodingIndex = c.given;
        dlg.Filter[0].encodingOff = true;
        std::vector<std::wstring> names;
        int selected = -1;
        bool offForFirstType = false, onForText = false;
        g_act = [&](HWND d) {
            HWND child = FindWindowExW(d, nullptr, L"#32770", nullptr);
            HWND list = child ? GetDlgItem(child, 1101) : nullptr;
            if (!list) return Cancel(d);
            for (LRESULT i = 0; i < SendMessageW(list, CB_GETCOUNT, 0, 0); ++i) {
                wchar_t item[64] = {};
                SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
                names.emplace_back(item);
            }
            selected = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
            offForFirstType = !IsWindowEnabled(list);
            ChooseType(d, 1);
            onForText = IsWindowEnabled(list) != FALSE;
            SendMessageW(list, CB_SETCURSEL, c.picked, 0);
            SetWindowTextW(NameField(d), (c.save ? file.substr(0, file.size() - 4) : file).c_str());
            PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(d, IDOK)));
        };
        const auto result = Run([&] { return c.save ? dlg.ShowSave() : dlg.ShowOpen(); });
        DeleteFileW(file.c_str());

        ASSERT_EQ(g_seen.dialogs, 1) << "the dialog did not appear: error " << CommDlgExtendedError();
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(selected, c.given);
        EXPECT_TRUE(offForFirstType);
        EXPECT_TRUE(onForText);
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(*result, folder + u"\\enc.txt");
        EXPECT_EQ(dlg.EncodingIndex, c.picked);
    }
}
