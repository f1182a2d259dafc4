#include "ads/ad_strip.h"

#include <algorithm>
#include <utility>

#include "ads/stats.h"
#include "base/whole_file.h"
#include "platform/trace.h"

struct AdStrip::Refresh {
    Text folder, listPath;
    int64_t storedLength = 0;
    uint64_t serial = 0;  // a completion of a refresh given up finds another serial and is dropped
    int64_t started = 0;  // monotonic ms
    Text list;
    std::vector<ads::BannerRecord> records;
    size_t next = 0;
};

AdStrip::AdStrip(Jobs& jobs, Files& files, Clock& clock, Shell& shell, AdSite site)
    : m_Jobs(jobs),
      m_Files(files),
      m_Clock(clock),
      m_Shell(shell),
      m_Site(std::move(site)),
      m_Self(std::make_shared<AdStrip*>(this)) {}

AdStrip::~AdStrip() = default;

void AdStrip::Place(const AdControls& controls) {
    m_Controls = controls;
    m_Controls.browser->onNewWindow = [this](const Text& url) { OnPageNewWindow(url); };
}

void AdStrip::Start(const Text& machineKey) {
    m_MachineKey = machineKey;
    try {
        m_Controls.browser->Navigate(m_Site.appFolder + u"php\\000.html");
    } catch (...) {
        platform::TraceCurrentException(u"start page");
    }
    // After the show; the request itself never holds the window.
    SendStat(u"&do=start");
}

void AdStrip::Layout(double width) {
    m_Controls.browser->Move({0, 0, std::max(0.0, width - 140), 750});
    const Rect more = m_Controls.morePicture->Placement();
    m_Controls.morePicture->Move({width - 510, 20, more.width, more.height});
}

void AdStrip::Post(std::function<void(Http&)> job, std::function<void()> then) {
    if (m_Stopped) return;
    std::weak_ptr<AdStrip*> self = m_Self;
    m_Jobs.Post(std::move(job), [self, then = std::move(then)] {
        const std::shared_ptr<AdStrip*> strip = self.lock();
        if (strip && !(*strip)->m_Stopped) then();
    });
}

bool AdStrip::Current(uint64_t serial) const { return m_Refresh && m_Refresh->serial == serial; }

template <class F>
void AdStrip::Guard(F&& step) {
    try {
        step();
    } catch (...) {
        // A refresh that fails leaves the old page; the next one is already three days ahead.
        platform::TraceCurrentException(u"banner refresh");
        m_Refresh.reset();
        ShowPage();
    }
}

void AdStrip::BannerUpdate() {
    if (m_Refresh || m_Stopped) return;
    Guard([&] {
        auto r = std::make_unique<Refresh>();
        r->folder = m_Site.appFolder + u"banner";
        r->listPath = r->folder + u"\\banner.txt";
        r->storedLength = m_Files.FileExists(r->listPath) ? m_Files.FileLength(r->listPath) : 0;
        if (!m_Files.EntryExists(r->folder)) m_Files.CreateFolder(r->folder);
        r->started = m_Clock.MonotonicMilliseconds();
        r->serial = ++m_RefreshSerial;
        const uint64_t serial = r->serial;
        m_Refresh = std::move(r);
        auto list = std::make_shared<Text>();
        const Text url = m_Site.siteUrl + u"files/banner.txt";
        Clock& clock = m_Clock;
        Post(
            [list, url, &clock](Http& http) {
                *list = ads::GetUrlText({http, clock}, url);
            },
            [this, list, serial] {
                if (Current(serial)) Guard([&] { ListArrived(*list); });
            });
    });
}

void AdStrip::ListArrived(const Text& list) {
    // Only the length tells a new list from the stored one.
    if (list.empty() || static_cast<int64_t>(list.size()) == m_Refresh->storedLength) {
        m_Refresh.reset();
        ShowPage();
        return;
    }
    m_Refresh->list = list;
    m_Refresh->records = ads::UsableRecords(list);
    NextImage();
}

void AdStrip::NextImage() {
    Refresh& r = *m_Refresh;
    while (r.next < r.records.size()) {
        // The images of one refresh share a budget. The list is stored only once all its images are there;
        // until then every refresh counts it as new and fetches the images still missing.
        if (m_Clock.MonotonicMilliseconds() - r.started > ads::kRefreshBudget * 1000) {
            platform::Trace(u"banner refresh: out of time");
            Finish(false);
            return;
        }
        const ads::BannerRecord& record = r.records[r.next++];
        Text local = r.folder + u"\\" + record.image;
        const bool exists = m_Files.FileExists(local);
        if (exists && static_cast<double>(m_Files.FileLength(local)) == ads::LeadingNumber(record.size))
            continue;
        if (exists) m_Files.Delete(local);
        auto fetched = std::make_shared<ads::Fetched>();
        const Text url = m_Site.siteUrl + u"files/banner/" + record.image;
        Clock& clock = m_Clock;
        Post(
            [fetched, url, &clock](Http& http) {
                *fetched = ads::FetchFile({http, clock}, url);
            },
            [this, fetched, url, local, serial = r.serial] {
                if (Current(serial)) Guard([&] { ImageArrived(*fetched, url, local); });
            });
        return;
    }
    Finish(true);
}

void AdStrip::ImageArrived(const ads::Fetched& fetched, const Text& url, Text local) {
    ads::SaveFetched(m_Files, fetched, url, local);
    NextImage();
}

void AdStrip::Finish(bool storeList) {
    const Text listPath = m_Refresh->listPath;
    if (storeList) base::WriteWholeFile(m_Files, listPath, m_Refresh->list);
    m_Refresh.reset();
    const Text page = ads::BannerGroups(ads::UsableRecords(base::ReadWholeFile(m_Files, listPath)));
    const Text pageTemplate = base::ReadWholeFile(m_Files, m_Site.appFolder + u"php\\000.html");
    base::WriteWholeFile(m_Files, m_Site.appFolder + u"php\\banner.html",
                         base::ReplaceAll(pageTemplate, ads::kBannerMarker, page));
    ShowPage();
}

void AdStrip::ShowPage() {
    try {
        // Without a banner page (a first run offline, a folder we cannot write) the control would show its
        // own error page in the strip; the start page stays instead.
        const Text page = m_Site.appFolder + u"php\\banner.html";
        if (!m_Files.FileExists(page)) return;
        m_Controls.browser->Navigate(page);
        m_Controls.browser->AttachDocument();
        // Only a banner page's clicks are counted, not the start page's.
        m_Controls.browser->onDocMouseUp = [this] { OnPageMouseUp(); };
    } catch (...) {
        platform::TraceCurrentException(u"banner page");
    }
}

void AdStrip::Tick() {
    const int64_t now = m_Clock.NowLocalSeconds();
    if (!m_RefreshScheduled) {
        m_NextRefresh = now + ads::kFirstRefreshDelay;
        m_RefreshScheduled = true;
    }
    if (m_Refresh) {
        if (m_Clock.MonotonicMilliseconds() - m_Refresh->started <= ads::kRefreshDeadline * 1000) return;
        platform::Trace(u"banner refresh: no answer, given up");
        m_Refresh.reset();
        m_RetryRefresh = true;  // the next tick starts another, whatever the schedule says
        return;
    }
    if (now <= m_NextRefresh && !m_RetryRefresh) return;
    m_RetryRefresh = false;
    m_NextRefresh = now + ads::kRefreshPeriod;
    BannerUpdate();
}

void AdStrip::SendStat(const Text& action) {
    const Text url =
        m_Site.siteUrl + u"adm/sendstat.php?" + u"app=" + m_Site.appCode + u"&key=" + m_MachineKey + action;
    Clock& clock = m_Clock;
    Post([url, &clock](Http& http) { ads::GetUrlText({http, clock}, url); }, [] {});
}

void AdStrip::OnPageMouseUp() {
    Text id;
    try {
        id = m_Controls.browser->EventSourceAttribute(u"alt");
    } catch (...) {
        platform::TraceCurrentException(u"banner click");
        id.clear();
    }
    if (ads::LeadingNumber(id) > 0) SendStat(u"&do=click&banner=" + ads::PercentEncode(id));
}

void AdStrip::OnNextAd() { m_Controls.browser->FireClickById(u"next"); }

void AdStrip::OnAdInfo() { m_Shell.Open(m_Site.siteUrl + u"banner.php", u"", m_Site.appFolder); }

void AdStrip::OnMoreMouseUp(int, int, double, double) { m_Controls.adMenu->PopUpAtCursor(); }

void AdStrip::OnPageNewWindow(const Text& url) {
    if (ads::OpensInBrowser(url)) m_Shell.Open(url, u"", u"");
}

void AdStrip::Stop() {
    m_Stopped = true;
    m_Refresh.reset();
}
