// The advertising strip's work: the banner list and images fetched from the site, the banner page, the
// refresh schedule, usage statistics and what the ad menu and banner clicks lead to. Every request runs as a
// job; a refresh is a chain of steps, each run on the window's thread when the previous request completes.
#pragma once
#include <memory>
#include <vector>

#include "ads/banner.h"
#include "ads/http.h"
#include "platform/jobs.h"

// Where the strip's requests and files go. The values are the program's start-up globals, some filled in
// after the strip is made, so they are referred to, not copied.
struct AdSite {
    const Text& siteUrl;    // ends with "/"
    const Text& appFolder;  // ends with "\"
    const Text& appCode;
    const Text& machineKey;
};

class AdStrip {
public:
    AdStrip(Jobs& jobs, Files& files, Clock& clock, Shell& shell, Browser& browser, AdSite site);
    ~AdStrip();
    AdStrip(const AdStrip&) = delete;
    AdStrip& operator=(const AdStrip&) = delete;

    // Starts a refresh unless one is under way: the list, the images when the list changed, php\banner.html,
    // then the banner page in the strip when there is one (onPageShown follows).
    void BannerUpdate();
    bool Refreshing() const { return m_Refresh != nullptr; }
    // The refresh timer: a refresh when one is due.
    void Tick();
    void SendStat(const Text& action);
    void BannerClicked();                 // a mouse-up on the page: a click on a banner is counted
    void ShowNext();                      // the next group of banners
    void ShowAdInfo();                    // the site's page about the ads, in the default browser
    void OpenInBrowser(const Text& url);  // a page's new window, in the default browser (http and https only)
    // The window closes: nothing more is asked of the site, and what completes later is dropped.
    void Stop();

    std::function<void()> onPageShown;  // the banner page has just been navigated to

private:
    struct Refresh;
    // Posts job; its completion runs then(), unless the strip stopped or is gone by then.
    void Post(std::function<void(Http&)> job, std::function<void()> then);
    void ListArrived(const Text& list);
    void NextImage();
    void ImageArrived(const ads::Fetched& fetched, const Text& url, Text local);
    void Finish(bool storeList);
    void ShowPage();
    bool Current(uint64_t serial) const;  // that refresh is still the one under way
    template <class F>
    void Guard(F&& step);

    Jobs& m_Jobs;
    Files& m_Files;
    Clock& m_Clock;
    Shell& m_Shell;
    Browser& m_Browser;
    AdSite m_Site;
    bool m_RefreshScheduled = false;  // the next refresh time is empty until the first tick
    int64_t m_NextRefresh = 0;        // local seconds
    bool m_Stopped = false;
    std::unique_ptr<Refresh> m_Refresh;  // the refresh under way
    uint64_t m_RefreshSerial = 0;
    bool m_RetryRefresh = false;       // a refresh was given up: the next tick starts one
    std::shared_ptr<AdStrip*> m_Self;  // completions hold it weakly: none runs on a strip that is gone
};
