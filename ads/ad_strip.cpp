#include "ads/ad_strip.h"

#include "ads/banner.h"
#include "ads/stats.h"
#include "base/whole_file.h"
#include "platform/trace.h"

AdStrip::AdStrip(Internet& internet, Files& files, Clock& clock, EventLoop& loop, Shell& shell,
                 Browser& browser, AdSite site)
    : m_Http{internet, loop, files}, m_Clock(clock), m_Shell(shell), m_Browser(browser), m_Site(site) {}

void AdStrip::BannerUpdate() {
    Files& files = m_Http.files;
    const Text folder = m_Site.appFolder + u"banner";
    const Text listPath = folder + u"\\banner.txt";
    const int64_t storedLength = files.FileExists(listPath) ? files.FileLength(listPath) : 0;
    if (!files.EntryExists(folder)) files.CreateFolder(folder);

    const int64_t started = m_Clock.NowLocalSeconds();
    const Text list = ads::GetUrlText(m_Http, m_Site.siteUrl + u"files/banner.txt");
    // Only the length tells a new list from the stored one.
    if (list.empty() || static_cast<int64_t>(list.size()) == storedLength) return;

    bool complete = true;
    for (const ads::BannerRecord& r : ads::UsableRecords(list)) {
        // Each fetch blocks the window for up to its time-outs, so the images of one refresh share a budget.
        // The list is stored only once all its images are there; until then every refresh counts it as new
        // and fetches the images still missing.
        if (m_Clock.NowLocalSeconds() - started > ads::kRefreshBudget) {
            platform::Trace(u"banner refresh: out of time");
            complete = false;
            break;
        }
        m_Http.loop.DoEvents();
        Text local = folder + u"\\" + r.image;
        const bool exists = files.FileExists(local);
        if (exists && static_cast<double>(files.FileLength(local)) == ads::LeadingNumber(r.size)) continue;
        if (exists) files.Delete(local);
        ads::DownloadFile(m_Http, m_Site.siteUrl + u"files/banner/" + r.image, local);
    }
    if (complete) base::WriteWholeFile(files, listPath, list);

    const Text page = ads::BannerGroups(ads::UsableRecords(base::ReadWholeFile(files, listPath)));
    const Text pageTemplate = base::ReadWholeFile(files, m_Site.appFolder + u"php\\000.html");
    base::WriteWholeFile(files, m_Site.appFolder + u"php\\banner.html",
                         base::ReplaceAll(pageTemplate, ads::kBannerMarker, page));
}

bool AdStrip::Tick() {
    const int64_t now = m_Clock.NowLocalSeconds();
    if (!m_RefreshScheduled) {
        m_NextRefresh = now + ads::kFirstRefreshDelay;
        m_RefreshScheduled = true;
    }
    if (now <= m_NextRefresh) return false;
    // Moved first: ticks that arrive while the refresh yields find nothing due.
    m_NextRefresh = now + ads::kRefreshPeriod;
    try {
        BannerUpdate();
    } catch (...) {
        // A refresh that fails leaves the old page; the next one is already three days ahead.
        platform::TraceCurrentException(u"banner refresh");
    }
    // Without a banner page (a first run offline, a folder we cannot write) the control would show its own
    // error page in the strip; the start page stays instead.
    const Text page = m_Site.appFolder + u"php\\banner.html";
    if (!m_Http.files.FileExists(page)) return false;
    m_Browser.Navigate(page);
    m_Browser.AttachDocument();
    return true;
}

void AdStrip::SendStat(const Text& action) {
    ads::GetUrlText(m_Http, m_Site.siteUrl + u"adm/sendstat.php?" + u"app=" + m_Site.appCode + u"&key=" +
                                m_Site.machineKey + action);
}

void AdStrip::BannerClicked() {
    Text id;
    try {
        id = m_Browser.EventSourceAttribute(u"alt");
    } catch (...) {
        platform::TraceCurrentException(u"banner click");
        id.clear();
    }
    if (ads::LeadingNumber(id) > 0) SendStat(u"&do=click&banner=" + ads::PercentEncode(id));
}

void AdStrip::ShowNext() { m_Browser.FireClickById(u"next"); }

void AdStrip::ShowAdInfo() {
    m_Shell.Execute(u"Open", m_Site.siteUrl + u"banner.php", u"", m_Site.appFolder, ads::kSwShowNormal);
}

void AdStrip::OpenInBrowser(const Text& url) {
    if (ads::OpensInBrowser(url)) m_Shell.Execute(u"open", url, u"", u"", ads::kSwShowNormal);
}
