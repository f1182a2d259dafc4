// The main editor window: composition, layout, caption, document state, keys, drops, menus.
// The Win32 window procedure (platform/win32) and the tests drive it through these handlers alone.
#pragma once
#include <vector>

#include "app/d1.h"

// The controls of the main window, made by the host.
struct FouControls {
    Window* window = nullptr;
    TextBox* txtData[2] = {nullptr, nullptr};
    Browser* browser1 = nullptr;
    Widget* imMore = nullptr;
    MenuItem* wordWrap = nullptr;  // mnu2(1)
    Timer* timer1 = nullptr;
    PopupMenu* aAdver = nullptr;
};

// Creates the real (or fake) window whose events are routed to a Fou.
struct FouHost {
    virtual ~FouHost() = default;
    virtual void InitCommonControls() = 0;
    virtual FouControls Create(Fou& fou) = 0;  // the window exists but is hidden
    virtual void Show() = 0;
};

// Modifier mask of key events.
constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;
constexpr int kDropEffectAll = 7;  // copy | move | link, what the shell offers for files

// Word Wrap stays off for a document with a longer line: the wrapping box's time grows with the square of a
// line's length (under Wine 128 Ki characters take seconds, 1 Mi characters many minutes).
constexpr size_t kLongestWrappedLine = 128 * 1024;
constexpr char16_t kTooLongToWrapMessage[] =
    u"This document has a line too long to wrap (more than 131072 characters). Word Wrap stays off.";

class Fou {
public:
    Fou(Platform& platform, FouHost& host);
    ~Fou();

    // Creation: Form_Initialize, the window, Form_Load; then the window is shown.
    void Load();

    void Form_Initialize();
    void Form_Load();
    void Form_Resize();
    void Form_Unload();

    void UpdateCaption();
    void txtData_Change(int index);
    void txtData_GotFocus(int index);
    void txtData_KeyDown(int index, int keyCode, int shift);
    void txtData_OLEDragDrop(int index, const std::vector<Text>& files, int effect);
    void mnu1_Click(int index);
    void mnu2_Click(int index);
    void mnu3_Click(int index);

    TextBox& ActiveEditor() { return *c.txtData[d1::g_ActiveEditor]; }
    Text AboutText() const;
    Text ExecutablePath() const;

    Platform& p;
    FouHost& host;
    FouControls c;

    bool m_Modified = false;
    Text m_LoadMarker;
    Text m_PrevFileName;

    // ---- protected documents ----
    // Loads g_FileName into the active editor. False when that file exists but cannot be read: the user has
    // been told, and the caller puts back the name of the document still shown.
    bool SecureOpen();
    void OpenDocument(const Text& path);  // SecureOpen of path; the name shown stays when path cannot be read
    void SecureSave(bool ask);   // ask: prompt for the password even when one is remembered (Save As)
    void OpenCommandLineDocument();
    // ---- file commands ----
    Text GetFilter(const Text& fileName, int32_t& index);  // own-type filter piece; index: 0, 2, 3 or 5
    class cmd1& Dialog();                                   // made on first use, kept for the window's life
    Text ShowFileDialog(bool save);                         // chosen path, empty on Cancel
    std::unique_ptr<class cmd1> m_Dialog;
    // ---- find and replace ----
    class rep& Rep();  // the find operations; they work whether or not the window is open
    std::unique_ptr<class rep> m_Rep;
    struct RepHost* m_RepHost = nullptr;  // the Find/Replace window's toolkit; set before the first Find
    // ---- settings ----
    void SaveAll();           // stores the window's restored rectangle as "position"
    void RestorePlacement();  // moves the window to the stored "position", when it is four numbers
    // ---- advertising strip ----
    void BannerUpdate();  // fetches the list and images when the list changed, writes php\banner.html
    void Timer1_Timer();
    void SendStat(const Text& action);
    void doc_onmouseup();
    void aNext_Click();
    void aAdinfo_Click();
    void ImMore_MouseUp(int button, int shift, double x, double y);
    void Browser1_NewWindow3(const Text& url);  // a page's new window: the default browser, http(s) only
    bool m_RefreshScheduled = false;  // the next refresh time is empty until the first tick
    int64_t m_NextRefresh = 0;        // local seconds
};
