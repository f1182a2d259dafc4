#include "ads/stats.h"

#include "ads/banner.h"
#include "ads/http.h"
#include "app/fou.h"

namespace d1 {

Text PercentEncode(const Text& text) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    Text out;
    auto escape = [&](unsigned byte) {
        out += u'%';
        out += kHex[byte >> 4];
        out += kHex[byte & 15];
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
            Text(u"-._~").find(c) != Text::npos) {
            out += c;
            continue;
        }
        uint32_t code = c;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            code = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            code = 0xFFFD;  // a lone surrogate has no UTF-8 form
        if (code < 0x80) {
            escape(code);
        } else if (code < 0x800) {
            escape(0xC0 | code >> 6);
            escape(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            escape(0xE0 | code >> 12);
            escape(0x80 | (code >> 6 & 0x3F));
            escape(0x80 | (code & 0x3F));
        } else {
            escape(0xF0 | code >> 18);
            escape(0x80 | (code >> 12 & 0x3F));
            escape(0x80 | (code >> 6 & 0x3F));
            escape(0x80 | (code & 0x3F));
        }
    }
    return out;
}

}  // namespace d1

void Fou::Timer1_Timer() {
    const int64_t now = p.clock.NowLocalSeconds();
    if (!m_RefreshScheduled) {
        m_NextRefresh = now + d1::kFirstRefreshDelay;
        m_RefreshScheduled = true;
    }
    if (now <= m_NextRefresh) return;
    // Moved first: ticks that arrive while the refresh yields find nothing due.
    m_NextRefresh = now + d1::kRefreshPeriod;
    try {
        BannerUpdate();
    } catch (...) {
        // A refresh that fails leaves the old page; the next one is already three days ahead.
    }
    // Without a banner page (a first run offline, a folder we cannot write) the control would show its own
    // error page in the strip; the start page stays instead.
    const Text page = d1::g_AppFolder + u"php\\banner.html";
    if (!p.files.FileExists(page)) return;
    c.browser1->Navigate(page);
    c.browser1->onDocMouseUp = [this] { doc_onmouseup(); };
    c.browser1->AttachDocument();
}

void Fou::SendStat(const Text& action) {
    d1::GetUrlText(p, d1::g_SiteUrl + u"adm/sendstat.php?" + u"app=" + d1::g_AppCode + u"&key=" +
                          d1::g_MachineKey + action);
}

void Fou::doc_onmouseup() {
    Text id;
    try {
        id = c.browser1->EventSourceAttribute(u"alt");
    } catch (...) {
        id.clear();
    }
    if (d1::LeadingNumber(id) > 0) SendStat(u"&do=click&banner=" + d1::PercentEncode(id));
}

void Fou::aNext_Click() { c.browser1->FireClickById(u"next"); }

void Fou::aAdinfo_Click() {
    p.shell.Execute(u"Open", d1::g_SiteUrl + u"banner.php", u"", d1::g_AppFolder, d1::kSwShowNormal);
}

void Fou::ImMore_MouseUp(int, int, double, double) { c.aAdver->PopUpAtCursor(); }

void Fou::Browser1_NewWindow3(const Text& url) {
    if (d1::OpensInBrowser(url)) p.shell.Execute(u"open", url, u"", u"", d1::kSwShowNormal);
}
