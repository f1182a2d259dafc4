// The advertising strip: the banner list and images fetched from the site, the banner page, the refresh
// schedule, usage statistics, and the strip's own controls and events (the ad menu, the "more" picture, the
// page's clicks and new windows). Every request runs as a job; a refresh is a chain of steps, each run on the
// window's thread when the previous request completes.
#pragma once
#include <memory>
#include <vector>

#include "ads/banner.h"
#include "ads/http.h"
#include "platform/hosts.h"
#include "platform/jobs.h"

// Where the strip's requests and files go. The values are the program's start-up globals, some filled in
// after the strip is made, so they are referred to, not copied.
struct AdSite {
    Text siteUrl;    // ends with "/"
    Text appFolder;  // ends with "\"
    Text appCode;
};

class AdStrip : public AdStripEvents {
public:
    AdStrip(Jobs& jobs, Files& files, Clock& clock, Shell& shell, AdSite site);
    ~AdStrip() override;
    AdStrip(const AdStrip&) = delete;
    AdStrip& operator=(const AdStrip&) = delete;

    // The controls the strip fills, once the window has made them and before any other call: the host routes
    // the strip's events here from then on.
    void Place(const AdControls& controls);
    // The window is up: the start page in the strip and the start statistic.
    void Start(const Text& machineKey);
    // The browser and the "more" picture across a window this wide (outer, twips).
    void Layout(double width);
    // The refresh timer: a refresh when one is due (the list, the images when the list changed,
    // php\banner.html, then the banner page in the strip when there is one).
    void Tick();
    // The window closes: nothing more is asked of the site, and what completes later is dropped.
    void Stop();

    void OnNextAd() override;  // the next group of banners
    void OnAdInfo() override;  // the site's page about the ads, in the default browser
    void OnMoreMouseUp(int button, int shift, double x, double y) override;  // the ad menu, at the pointer
    void OnPageMouseUp() override;                   // a click on a banner of the banner page is counted
    void OnPageNewWindow(const Text& url) override;  // the default browser, http and https only

private:
    struct Refresh;
    void BannerUpdate();  // starts a refresh unless one is under way
    void SendStat(const Text& action);
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
    AdSite m_Site;
    Text m_MachineKey;  // the statistics' name for this machine, known from the start on
    AdControls m_Controls;
    bool m_RefreshScheduled = false;  // the next refresh time is empty until the first tick
    int64_t m_NextRefresh = 0;        // local seconds
    bool m_Stopped = false;
    std::unique_ptr<Refresh> m_Refresh;  // the refresh under way
    uint64_t m_RefreshSerial = 0;
    bool m_RetryRefresh = false;       // a refresh was given up: the next tick starts another
    std::shared_ptr<AdStrip*> m_Self;  // completions hold it weakly: none runs on a strip that is gone
};
