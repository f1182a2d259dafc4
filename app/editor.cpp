#include "app/editor.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "ads/machine_key.h"
#include "app/filetype.h"
#include "base/memory_guard.h"
#include "base/paths.h"
#include "base/text.h"
#include "dialogs/file_dialog_state.h"
#include "find/find_replace.h"

namespace {

// A start-up step that fails is skipped, with a line for a developer; the next one runs.
template <class F>
void Step(F&& f) {
    try {
        f();
    } catch (...) {
        platform::TraceCurrentException(u"start-up step");
    }
}

}  // namespace

// The boxes end a line at each line feed (CR LF or a lone LF).
bool WrapsQuickly(std::u16string_view text) {
    constexpr auto npos = std::u16string_view::npos;
    size_t longest = 0, start = 0;
    for (size_t end = text.find(u'\n');; end = text.find(u'\n', start)) {
        size_t stop = end == npos ? text.size() : end;
        if (stop > start && text[stop - 1] == u'\r' && end != npos) --stop;
        longest = std::max(longest, stop - start);
        if (longest > kLongestWrappedLine) return false;
        if (end == npos) return true;
        start = end + 1;
    }
}

Editor::Editor(Platform& platform, EditorHost& host, FindReplaceHost* findHost)
    : m_Platform(platform),
      m_Host(host),
      m_FindHost(findHost),
      m_Folder(app::ProgramFolder(platform.process)),
      m_Documents(platform.files, platform.prompts, platform.crypto, app::kLargestDocument),
      m_Recovery(platform),
      m_LockedPassword(platform.crypto) {}

Editor::~Editor() = default;

void Editor::Load() {
    Form_Initialize();
    // The strip is made first: the window routes its events to it from creation on.
    m_Ads = std::make_unique<AdStrip>(m_Platform.jobs, m_Platform.files, m_Platform.clock, m_Platform.shell,
                                      AdSite{app::kSiteUrl, m_Folder, app::kAppCode});
    m_Controls = m_Host.Create(*this, *m_Ads);
    m_Ads->Place(m_Controls.ads);
    Form_Load();
    m_Host.Show();
    AfterShow();
    Step([&] { m_Ads->Start(m_MachineKey); });
}

void Editor::Form_Initialize() { m_Host.InitCommonControls(); }

void Editor::Form_Load() {
    Step([&] { UpdateCaption(); });
    Step([&] { RestorePlacement(); });
    Step([&] { OfferSnapshots(); });
    Step([&] { OpenCommandLineDocument(); });
    // From here on every edit counts, also the first one in a window that opened no document.
    m_Document.loadSeen = true;
}

// The steps the document does not need wait until it is on screen.
void Editor::AfterShow() {
    Text exePath;
    Step([&] { exePath = ExecutablePath(); });
    // The program's path quoted: unquoted, a blank in it would end the program name.
    for (const char16_t* extension : {u"txs", u"txse"}) {
        Step([&] {
            app::RegisterFileType(m_Platform.settings, u"Lockleaf File", u"\"" + exePath + u"\" %1",
                                  extension, u"", exePath);
        });
    }
    Step([&] { m_MachineKey = ads::GetMachineKey(m_Platform.volumes); });
    Step([&] { m_Controls.timer->SetInterval(kTimerInterval); });
    // After a crash or an update's restart Windows starts us again, and the snapshot is offered.
    Step([&] { m_Platform.process.RegisterRestart(app::kRestartArgument); });
}

FindReplace& Editor::Finder() {
    if (!m_FindReplace)
        m_FindReplace =
            std::make_unique<FindReplace>(*this, m_Platform.locale, m_Platform.prompts, m_FindHost);
    return *m_FindReplace;
}

Text Editor::ExecutablePath() const { return m_Folder + m_Platform.process.ExeBaseName() + u".exe"; }

void Editor::Form_Resize() {
    const Rect outer = m_Controls.window->Placement();
    const double w = std::round(outer.width), h = std::round(outer.height);
    if (m_Controls.window->Minimized()) return;
    // Below the designed minimum the formulas go negative; the boxes then keep a zero size.
    // The status bar takes its height from the boxes; every designed size above it stays.
    const double bar = m_StatusBarOn ? m_Controls.statusBar->Height() : 0;
    const double boxWidth = std::max(0.0, w - 240), boxHeight = std::max(0.0, h - 1710 - bar);
    for (TextBox* box : m_Controls.textBoxes) box->Move({0, 840, boxWidth, boxHeight});
    m_Ads->Layout(w);
    LayOutStatusBar(boxWidth);
}

void Editor::Form_Unload() {
    // The network is not waited for: a statistic still on its way is lost with the process.
    Step([&] {
        if (m_Ads) m_Ads->Stop();
    });
    Step([&] { SaveAll(); });
    // The work was saved or the user let it go; only a restart for an update keeps it for the next start.
    if (!m_KeepSnapshot) Step([&] { m_Recovery.Discard(); });
    // The process ends here: no destructor will wipe the document's secrets.
    if (Secret()) {
        const bool modified = m_Document.modified;  // emptied by us, not edited
        for (TextBox* box : m_Controls.textBoxes) Step([&] { box->ReplaceWiping(u""); });
        m_Document.modified = modified;
        m_History.Clear();
    }
    m_Document.WipePassword();
    m_Documents.Forget();
    m_Platform.loop.EndProcess();
}

void Editor::UpdateCaption() {
    Text prefix;
    if (!m_Document.Untitled())
        prefix = base::GetFileNamePart(m_Document.Name()) + (m_Document.modified ? u" *" : u"") +
                 (m_Locked ? u" (locked)" : u"") + u" - ";
    m_Controls.window->SetCaption(prefix + app::kAppName + u" " + app::kAppVersion);
    // Every load, save, New, restore and lock recaptions: the status bar says the new form too.
    UpdateStatus();
}

void Editor::OnTextChange(int) {
    if (m_Moving) return;
    ++m_TextChanges;
    if (m_Document.loadSeen) m_Recovery.Changed();
    if (m_Document.loadSeen && !m_Document.modified) {
        m_Document.modified = true;
        UpdateCaption();
    }
    m_Document.loadSeen = true;
}

void Editor::OnTextFocus(int index) { m_ActiveEditor = index; }

bool Editor::OnTextKeyDown(int, Key key, int shift) {
    const Command running(*this);
    if (!Ready()) return false;
    // Ctrl with + and - whether Shift is down or not: on most keyboards + is Shift and the = key.
    const bool ctrl = shift == kCtrlMask, ctrlShiftOrNot = (shift & ~kShiftMask) == kCtrlMask;
    switch (key) {
        case kKeyF:
            if (!ctrl) return false;
            OnEditMenu(kMenuFind);
            return true;
        case kKeyF2:
            SecureSave(false, true);
            return true;
        case kKeyF3:
            base::WithMemory(m_Platform.prompts, kFindCommand, [&] {
                if (shift == kCtrlMask) {
                    Text search = ActiveEditor().SelText();
                    int32_t start = 2, end = 1;
                    if (search.empty()) search = Finder().WordAtCaret(start, end);
                    Finder().State().FindText = search;
                }
                Finder().FindAgain();
            });
            return true;
        case kKeyF4:
            if (shift & kAltMask) return false;  // Alt+F4 closes the window
            Finder().ReplaceSelection();
            return true;
        case kKeyZ:  // Ctrl+Z undoes; with Shift it redoes
            if (!ctrlShiftOrNot) return false;
            (shift & kShiftMask) ? Redo() : Undo();
            return true;
        case kKeyY:
            if (!ctrl) return false;
            Redo();
            return true;
        case kKeyBack:
            if (shift != kAltMask) return false;
            Undo();  // the box's own key for it, which would take back only its last change
            return true;
        case kKeyG:
            if (!ctrl) return false;
            GoToLine();
            return true;
        case kKeyOemPlus:
        case kKeyAdd:
            if (!ctrlShiftOrNot) return false;
            SetZoom(m_Zoom + kZoomStep);
            return true;
        case kKeyOemMinus:
        case kKeySubtract:
            if (!ctrlShiftOrNot) return false;
            SetZoom(m_Zoom - kZoomStep);
            return true;
        case kKey0:
        case kKeyNumpad0:
            if (!ctrl) return false;
            SetZoom(kZoomDesigned);
            return true;
        default:
            return false;
    }
}

void Editor::OnFilesDropped(int, const std::vector<Text>& files, int effect) {
    const Command running(*this);
    if (effect != kDropEffectAll || files.empty() || !Ready() || !SaveChangesFirst()) return;
    SecureOpen(files.front());
}

void Editor::OnEditMenu(int index) {
    const Command running(*this);
    if (!Ready()) return;
    if (index == kMenuFind)
        base::WithMemory(m_Platform.prompts, kFindCommand, [&] { Finder().OpenForFind(); });
    if (index == kMenuStatusBar) ShowStatusBar(!m_StatusBarOn);
    if (index == kMenuUndo) Undo();
    if (index == kMenuRedo) Redo();
    if (index == kMenuWordWrap) SwitchWordWrap();
}

void Editor::SwitchWordWrap() {
    const int from = m_ActiveEditor, to = 1 - from;
    bool copied = false;
    // The same text in the other box is no edit: the document stays as marked as it was.
    const bool modified = m_Document.modified;
    bool quick = true;
    size_t length = 0;
    m_Controls.textBoxes[from]->ReadText([&](std::u16string_view text) {
        length = text.size();
        quick = to == 0 || WrapsQuickly(text);
    });
    if (!quick) {
        m_Platform.prompts.Message(kTooLongToWrapMessage, MsgButtons::Ok, MsgIcon::None);
        return;
    }
    // The box takes a big text in one call that no one can interrupt, and the window cannot paint meanwhile.
    if (length > kLongToRewrap && m_Platform.prompts.Message(kLongToRewrapQuestion, MsgButtons::YesNo,
                                                             MsgIcon::Exclamation) != MsgResult::Yes)
        return;
    m_Moving = true;
    const struct Moved {
        bool& moving;
        ~Moved() { moving = false; }
    } moved{m_Moving};
    base::WithMemory(m_Platform.prompts, kWordWrapCommand, [&] {
        // The other box takes the text straight from this one's buffer, into memory it then owns; the box
        // the user sees changes only once the other one holds the whole text.
        m_Controls.textBoxes[from]->ReadText([&](std::u16string_view text) {
            if (!m_Controls.textBoxes[to]->ReplaceWiping(text)) throw std::bad_alloc();
        });
        copied = true;
    });
    if (copied) {
        m_Controls.textBoxes[to]->SetSel(m_Controls.textBoxes[from]->SelStart(),
                                         m_Controls.textBoxes[from]->SelLength());
        ShowEditor(to);
        // The text is held once: the hidden box lets go of it (a secret's overwritten first).
        TextBox& hidden = *m_Controls.textBoxes[from];
        Step([&] { hidden.ReplaceWiping(u""); });
    }
    m_Document.modified = modified;
    UpdateCaption();
}

void Editor::ShowEditor(int index) {
    m_Controls.wordWrap->SetChecked(index == 1);
    m_ActiveEditor = index;
    m_Controls.textBoxes[index]->SetVisible(true);
    m_Controls.textBoxes[1 - index]->SetVisible(false);
    m_Controls.textBoxes[index]->SetFocus();  // typing goes on where it was, in the box the user now sees
    UpdateStatus();                           // the caret of the box shown now
}

Text Editor::AboutText() const {
    Text about = app::kAppName;
    for (const char16_t* part : {u" ", app::kAppVersion, u"\r\nDate : ", app::kAppDate, u"\r\nDeveloper : ",
                                 LOCKLEAF_ABOUT_DEVELOPER, u"\r\nWebsite : ", LOCKLEAF_ABOUT_WEBSITE,
                                 u"\r\nEmail : ", LOCKLEAF_ABOUT_EMAIL})
        about += part;
    return about;
}

void Editor::OnHelpMenu(int index) {
    const Command running(*this);
    if (index == kMenuAbout) m_Platform.prompts.Message(AboutText(), MsgButtons::Ok, MsgIcon::None);
}

// The strip's refresh schedule, then the idle lock and the snapshot: one timer for all three.
void Editor::OnTimer() {
    Step([&] { m_Ads->Tick(); });
    Step([&] {
        if (m_Commands == 0 && !m_Locked &&
            (m_LockPending || (Secret() && m_Platform.clock.MillisecondsSinceInput() >= kLockAfterIdle &&
                               m_Platform.clock.MonotonicMilliseconds() >= m_LockRetryAt)))
            Lock();
    });
    Step([&] { SnapshotIfDue(); });
}
