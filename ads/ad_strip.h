// The advertising strip's work: the banner list and images fetched from the site, the banner page, the
// refresh schedule, usage statistics and what the ad menu and banner clicks lead to.
#pragma once
#include "ads/http.h"

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
    AdStrip(Internet& internet, Files& files, Clock& clock, EventLoop& loop, Shell& shell, Browser& browser,
            AdSite site);

    void BannerUpdate();  // fetches the list and images when the list changed, writes php\banner.html
    // The refresh timer: a refresh when one is due, then the banner page when there is one. True when the
    // banner page has just been shown.
    bool Tick();
    void SendStat(const Text& action);
    void BannerClicked();                 // a mouse-up on the page: a click on a banner is counted
    void ShowNext();                      // the next group of banners
    void ShowAdInfo();                    // the site's page about the ads, in the default browser
    void OpenInBrowser(const Text& url);  // a page's new window, in the default browser (http and https only)

private:
    ads::Http m_Http;
    Clock& m_Clock;
    Shell& m_Shell;
    Browser& m_Browser;
    AdSite m_Site;
    bool m_RefreshScheduled = false;  // the next refresh time is empty until the first tick
    int64_t m_NextRefresh = 0;        // local seconds
};
