#include "app/fou.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "ads/machine_key.h"
#include "ads/stats.h"
#include "app/filetype.h"
#include "app/settings.h"
#include "base/memory_guard.h"
#include "base/paths.h"
#include "dialogs/cmd1.h"
#include "find/rep.h"

namespace {

constexpr int kVkF = 70, kVkF2 = 113, kVkF3 = 114, kVkF4 = 115;

// A start-up step that fails is skipped, with a line for a developer; the next one runs.
template <class F>
void Step(F&& f) {
    try {
        f();
    } catch (...) {
        d1::TraceCurrentException(u"start-up step");
    }
}

}  // namespace

// The boxes end a line at each line feed (CR LF or a lone LF).
bool WrapsQuickly(const Text& text) {
    size_t longest = 0, start = 0;
    for (size_t end = text.find(u'\n');; end = text.find(u'\n', start)) {
        size_t stop = end == Text::npos ? text.size() : end;
        if (stop > start && text[stop - 1] == u'\r' && end != Text::npos) --stop;
        longest = std::max(longest, stop - start);
        if (longest > kLongestWrappedLine) return false;
        if (end == Text::npos) return true;
        start = end + 1;
    }
}

Fou::Fou(Platform& platform, FouHost& windowHost)
    : p(platform), host(windowHost), m_Documents(platform.files, platform.prompts) {}

Fou::~Fou() = default;

void Fou::Load() {
    Form_Initialize();
    c = host.Create(*this);
    m_Ads =
        std::make_unique<AdStrip>(p.internet, p.files, p.clock, p.loop, p.shell, *c.browser1,
                                  AdSite{d1::g_SiteUrl, d1::g_AppFolder, d1::g_AppCode, d1::g_MachineKey});
    Form_Load();
    host.Show();
    // After the show: a site that accepts and never answers holds this request for seconds.
    Step([&] { SendStat(u"&do=start"); });
}

void Fou::Form_Initialize() { host.InitCommonControls(); }

void Fou::Form_Load() {
    Step([&] { UpdateCaption(); });
    Text exePath;
    Step([&] { exePath = ExecutablePath(); });
    // The program's path quoted: unquoted, a blank in it would end the program name.
    Step([&] {
        d1::RegisterFileType(p.registry, u"Lockleaf File", u"\"" + exePath + u"\" %1", u"txs", u"", exePath);
    });
    Step([&] { d1::g_MachineKey = d1::GetMachineKey(p.volumes); });
    Step([&] { d1::g_AppCode = u"LOK"; });
    Step([&] {
        c.browser1->onNewWindow = [this](const Text& url) { Browser1_NewWindow3(url); };
        c.browser1->Navigate(d1::g_AppFolder + u"php\\000.html");
    });
    Step([&] { RestorePlacement(); });
    Step([&] { OpenCommandLineDocument(); });
    // From here on every edit counts, also the first one in a window that opened no document.
    if (m_LoadMarker.empty()) m_LoadMarker.assign(1, u'1');
    Step([&] { c.timer1->SetInterval(d1::kTimer1Interval); });
}

rep& Fou::Rep() {
    if (!m_Rep) m_Rep = std::make_unique<rep>(*this, p.locale, p.prompts, m_RepHost);
    return *m_Rep;
}

Text Fou::ExecutablePath() const { return d1::g_AppFolder + p.process.ExeBaseName() + u".exe"; }

void Fou::Form_Resize() {
    const Rect outer = c.window->Placement();
    const double w = std::round(outer.width), h = std::round(outer.height);
    if (c.window->Minimized()) return;
    // Below the designed minimum the formulas go negative; the boxes then keep a zero size.
    const double boxWidth = std::max(0.0, w - 240), boxHeight = std::max(0.0, h - 1710);
    for (TextBox* box : c.txtData) box->Move({0, 840, boxWidth, boxHeight});
    c.browser1->Move({0, 0, std::max(0.0, w - 140), 750});
    const Rect more = c.imMore->Placement();
    c.imMore->Move({w - 510, 20, more.width, more.height});
}

void Fou::Form_Unload() {
    Step([&] { SaveAll(); });
    p.loop.EndProcess();
}

void Fou::UpdateCaption() {
    Text prefix;
    if (!d1::g_FileName.empty())
        prefix = d1::GetFileNamePart(d1::g_FileName) + (m_Modified ? u" *" : u"") + u" - ";
    c.window->SetCaption(prefix + d1::g_AppName + u" " + d1::g_AppVersion);
}

void Fou::txtData_Change(int) {
    if (!m_LoadMarker.empty() && !m_Modified) {
        m_Modified = true;
        UpdateCaption();
    }
    if (m_LoadMarker.empty()) m_LoadMarker = u"1";
}

void Fou::txtData_GotFocus(int index) { d1::g_ActiveEditor = index; }

void Fou::txtData_KeyDown(int, int keyCode, int shift) {
    switch (keyCode) {
        case kVkF:
            if (shift == kCtrlMask) mnu2_Click(kMnuFind);
            break;
        case kVkF2:
            SecureSave(false);
            break;
        case kVkF3:
            d1::WithMemory(p.prompts, kFindCommand, [&] {
                if (shift == kCtrlMask) {
                    Text search = ActiveEditor().SelText();
                    int32_t start = 2, end = 1;
                    if (search.empty()) search = Rep().SALine(start, end);
                    d1::g_FindState.FindText = search;
                }
                Rep().coc1();
            });
            break;
        case kVkF4:
            Rep().SelRe();
            break;
        default:
            break;
    }
}

void Fou::txtData_OLEDragDrop(int, const std::vector<Text>& files, int effect) {
    if (effect != kDropEffectAll || files.empty() || !SaveChangesFirst()) return;
    SecureOpen(files.front());
}

void Fou::mnu2_Click(int index) {
    if (index == kMnuFind) d1::WithMemory(p.prompts, kFindCommand, [&] { Rep().OpenForFind(); });
    if (index == kMnuWordWrap) {
        const int from = d1::g_ActiveEditor, to = 1 - from;
        bool copied = false;
        // The same text in the other box is no edit: the document stays as marked as it was.
        const bool modified = m_Modified;
        d1::WithMemory(p.prompts, kWordWrapCommand, [&] {
            const Text text = c.txtData[from]->GetText();
            if (to == 1 && !WrapsQuickly(text)) {
                p.prompts.Message(kTooLongToWrapMessage, MsgButtons::Ok, MsgIcon::None);
                return;
            }
            // The box the user sees changes only once the other one holds the whole text.
            if (!c.txtData[to]->SetText(text)) throw std::bad_alloc();
            copied = true;
        });
        m_Modified = modified;
        UpdateCaption();
        if (!copied) return;
        c.txtData[to]->SetSel(c.txtData[from]->SelStart(), c.txtData[from]->SelLength());
        ShowEditor(to);
    }
}

void Fou::ShowEditor(int index) {
    c.wordWrap->SetChecked(index == 1);
    d1::g_ActiveEditor = index;
    c.txtData[index]->SetVisible(true);
    c.txtData[1 - index]->SetVisible(false);
    c.txtData[index]->SetFocus();  // typing goes on where it was, in the box the user now sees
}

Text Fou::AboutText() const {
    return d1::g_AppName + u" " + d1::g_AppVersion + u"\r\n" + u"Date : " + d1::g_AppDate + u"\r\n" +
           u"Developer : " + LOCKLEAF_ABOUT_DEVELOPER + u"\r\n" + u"Website : " + LOCKLEAF_ABOUT_WEBSITE +
           u"\r\n" + u"Email : " + LOCKLEAF_ABOUT_EMAIL;
}

void Fou::mnu3_Click(int index) {
    if (index == kMnuAbout) p.prompts.Message(AboutText(), MsgButtons::Ok, MsgIcon::None);
}

// ---- advertising strip: the handlers forward to the strip ----

void Fou::BannerUpdate() { m_Ads->BannerUpdate(); }

void Fou::Timer1_Timer() {
    if (m_Ads->Tick()) c.browser1->onDocMouseUp = [this] { doc_onmouseup(); };
}

void Fou::SendStat(const Text& action) { m_Ads->SendStat(action); }

void Fou::doc_onmouseup() { m_Ads->BannerClicked(); }

void Fou::aNext_Click() { m_Ads->ShowNext(); }

void Fou::aAdinfo_Click() { m_Ads->ShowAdInfo(); }

void Fou::ImMore_MouseUp(int, int, double, double) { c.aAdver->PopUpAtCursor(); }

void Fou::Browser1_NewWindow3(const Text& url) { m_Ads->OpenInBrowser(url); }
