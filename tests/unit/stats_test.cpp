#include "ads/stats.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_platform.h"

namespace {

constexpr int64_t kDay = 24 * 60 * 60;
const Text kStartPage = u"C:\\Apps\\php\\000.html", kBannerPage = u"C:\\Apps\\php\\banner.html";

struct Ads : ::testing::Test {
    Started s{false};
    FakeHttp& net = s.fp.http;
    FakeClock& clock = s.fp.clock;
    FakeBrowser& browser = s.host.browser;
    const Text site = app::kSiteUrl;

    // A banner page from an earlier run, which every refresh shows, unless a test starts without one.
    void Start(bool earlierPage = true) {
        if (earlierPage) s.fp.files.Put(kBannerPage, "<html></html>");
        s.Start();
    }
    Editor& editor() { return s.editor(); }
    int ListRequests() const {
        return static_cast<int>(
            std::count(net.requested.begin(), net.requested.end(), site + u"files/banner.txt"));
    }
    std::vector<Text> StatRequests() const {
        std::vector<Text> r;
        for (const Text& u : net.requested)
            if (u.starts_with(site + u"adm/sendstat.php?")) r.push_back(u.substr(site.size()));
        return r;
    }
    // Runs the timer's ticks at the given clock times.
    void TicksAt(std::initializer_list<int64_t> times) {
        for (const int64_t t : times) {
            clock.now = t;
            editor().OnTimer();
        }
    }
    // A refresh has run and the banner page is attached.
    void Refreshed() {
        const int64_t t = clock.now;
        TicksAt({t, t + 2});
        ASSERT_EQ(browser.attachCount, 1);
    }
};

}  // namespace

TEST_F(Ads, StartUpComputesTheKeyShowsTheStartPageStartsTheTimerAndReportsTheStart) {
    Start();
    EXPECT_EQ(browser.navigated, std::vector<Text>{kStartPage});
    EXPECT_EQ(s.host.timer.interval, 200u);
    EXPECT_EQ(StatRequests(), std::vector<Text>{u"adm/sendstat.php?app=LOK&key=823C3D&do=start"});
    EXPECT_EQ(browser.attachCount, 0);
}

TEST_F(Ads, TheStartRequestIsPostedAfterTheShowWithTheTimerRunningAndWithoutDriveCStill) {
    s.fp.volumes.hasVolume = false;
    s.fp.jobs.hold = true;
    int postedAtShow = -1;
    s.host.onShow = [&] { postedAtShow = s.fp.jobs.posted; };
    Start();
    // The window is shown and its timer runs before the request, which has not even reached the site.
    EXPECT_EQ(postedAtShow, 0);
    EXPECT_EQ(s.host.timer.interval, 200u);
    EXPECT_EQ(s.fp.jobs.Pending(), 1u);
    EXPECT_TRUE(StatRequests().empty());
    s.fp.jobs.CompleteAll();
    EXPECT_EQ(StatRequests(), std::vector<Text>{u"adm/sendstat.php?app=LOK&key=339339&do=start"});
}

TEST_F(Ads, TheFirstRefreshComesOnTheFirstTickStrictlyLaterThanOneSecondAfterTheFirst) {
    Start();
    const int64_t t = clock.now;
    TicksAt({t, t, t + 1, t + 1});
    EXPECT_EQ(ListRequests(), 0);
    EXPECT_EQ(browser.navigated.size(), 1u);
    TicksAt({t + 2});
    EXPECT_EQ(ListRequests(), 1);
    EXPECT_EQ(browser.navigated.back(), kBannerPage);
    EXPECT_EQ(browser.attachCount, 1);
    EXPECT_TRUE(static_cast<bool>(browser.onDocMouseUp));
}

TEST_F(Ads, LaterRefreshesComeEveryThreeDaysAndShowThePageEvenWhenNothingChanged) {
    Start();
    const int64_t t = clock.now;
    TicksAt({t, t + 2, t + 2 + kDay, t + 2 + 3 * kDay});
    EXPECT_EQ(ListRequests(), 1);
    TicksAt({t + 3 + 3 * kDay});
    EXPECT_EQ(ListRequests(), 2);
    EXPECT_EQ(browser.navigated.size(), 3u);  // the start page and the earlier banner page twice
    EXPECT_EQ(browser.attachCount, 2);
}

TEST_F(Ads, WithoutABannerPageTheStripKeepsTheStartPageUntilARefreshWritesOne) {
    // A first run offline: the control would show its own error page for a missing file.
    Start(false);
    const int64_t t = clock.now;
    TicksAt({t, t + 2});
    EXPECT_EQ(ListRequests(), 1);
    EXPECT_EQ(browser.navigated, std::vector<Text>{kStartPage});
    EXPECT_EQ(browser.attachCount, 0);
    browser.eventAlt = u"5";
    browser.MouseUp();
    EXPECT_EQ(StatRequests().size(), 1u);  // the start request only

    // Three days later the site answers: the page is written, shown and its clicks counted.
    s.fp.files.Put(kStartPage, "<body><div></div></body>");
    net.bodies[site + u"files/banner.txt"] = "5\ta.gif\t4\thttp://x.example/\tt\r\n";
    TicksAt({t + 3 + 3 * kDay});
    EXPECT_TRUE(s.fp.files.FileExists(kBannerPage));
    EXPECT_EQ(browser.navigated, (std::vector<Text>{kStartPage, kBannerPage}));
    EXPECT_EQ(browser.attachCount, 1);
    browser.MouseUp();
    EXPECT_EQ(StatRequests().back(), u"adm/sendstat.php?app=LOK&key=823C3D&do=click&banner=5");
}

TEST_F(Ads, ARefreshRunsAsStepsWhileTheWindowGoesOnAndTicksMeanwhileStartNoOther) {
    s.fp.files.Put(kStartPage, "<body><div></div></body>");
    s.fp.jobs.hold = true;
    Start(false);
    net.bodies[site + u"files/banner.txt"] = "1\ta.gif\t4\thttp://x.example/\tt\r\n";
    net.bodies[site + u"files/banner/a.gif"] = "GIF!";
    const int64_t t = clock.now;
    TicksAt({t, t + 2});
    // The site has not answered: the start statistic and the list wait their turn, in that order.
    EXPECT_EQ(s.fp.jobs.Pending(), 2u);
    EXPECT_FALSE(editor().CurrentDocument().modified);
    s.box().Type(u"typed meanwhile");
    EXPECT_EQ(s.box().GetText(), u"typed meanwhile");
    EXPECT_TRUE(editor().CurrentDocument().modified);
    TicksAt({t + 3, t + 4, t + 10});
    s.fp.jobs.CompleteNext();  // the start statistic
    EXPECT_EQ(ListRequests(), 0);
    s.fp.jobs.CompleteNext();  // the list: its one image is asked for next, nothing is written yet
    EXPECT_EQ(ListRequests(), 1);
    EXPECT_EQ(s.fp.jobs.Pending(), 1u);
    EXPECT_FALSE(s.fp.files.FileExists(u"C:\\Apps\\banner\\banner.txt"));
    EXPECT_FALSE(s.fp.files.FileExists(kBannerPage));
    TicksAt({t + 11});
    EXPECT_EQ(s.fp.jobs.Pending(), 1u);
    s.fp.jobs.CompleteNext();  // the image: then the list, the page and the strip
    EXPECT_EQ(s.fp.files.Get(u"C:\\Apps\\banner\\a.gif"), "GIF!");
    EXPECT_TRUE(s.fp.files.FileExists(u"C:\\Apps\\banner\\banner.txt"));
    EXPECT_TRUE(s.fp.files.FileExists(kBannerPage));
    EXPECT_EQ(browser.navigated.back(), kBannerPage);
    EXPECT_EQ(browser.attachCount, 1);
    EXPECT_EQ(s.fp.jobs.Pending(), 0u);
    TicksAt({t + 12, t + 3 * kDay});
    EXPECT_EQ(ListRequests(), 1);
    EXPECT_EQ(s.box().GetText(), u"typed meanwhile");
}

TEST_F(Ads, ExitWaitsForNoRequestAndWhatCompletesAfterTheWindowStartedToCloseIsDropped) {
    Start();
    const int64_t t = clock.now;
    Refreshed();
    browser.eventAlt = u"5";
    browser.MouseUp();
    ASSERT_EQ(StatRequests().size(), 2u);  // the start and the click

    // Three days on, a new list is on its way when the window closes.
    s.fp.jobs.hold = true;
    net.bodies[site + u"files/banner.txt"] = "1\ta.gif\t4\thttp://x.example/\tt\r\n";
    net.bodies[site + u"files/banner/a.gif"] = "GIF!";
    TicksAt({t + 3 + 3 * kDay});
    std::function<void()> late = s.fp.jobs.RunNext();  // the list has arrived, its completion not yet
    editor().OnFileMenu(kMenuExit);
    EXPECT_TRUE(s.fp.loop.ended);  // at once, with a request under way
    late();
    s.fp.jobs.CompleteAll();
    EXPECT_EQ(ListRequests(), 2);
    EXPECT_TRUE(std::none_of(net.requested.begin(), net.requested.end(),
                             [](const Text& u) { return u.ends_with(u"a.gif"); }));
    EXPECT_FALSE(s.fp.files.FileExists(u"C:\\Apps\\banner\\banner.txt"));
    EXPECT_EQ(browser.attachCount, 1);
    // Nothing more is asked of the site once the window closes: not by a refresh that falls due, nor by a
    // click on a banner.
    TicksAt({t + 7 * kDay});
    browser.MouseUp();
    EXPECT_EQ(s.fp.jobs.Pending(), 0u);
    EXPECT_EQ(ListRequests(), 2);
    EXPECT_EQ(StatRequests().size(), 2u);
}

TEST_F(Ads, SettingTheClockBackDelaysTheNextRefreshByAsMuch) {
    Start();
    const int64_t t = clock.now;
    TicksAt({t, t + 2});
    TicksAt({t + 2 - 3600, t + 2 + 3 * kDay - 3600, t + 2 + 3 * kDay});
    EXPECT_EQ(ListRequests(), 1);
    TicksAt({t + 3 + 3 * kDay});
    EXPECT_EQ(ListRequests(), 2);
}

TEST_F(Ads, ClicksOnBannersWithAPositiveIdAreCounted) {
    Start();
    Refreshed();
    net.requested.clear();
    for (const Text alt : {u"12abc", u"0", u"-3", u"abc", u"", u"7 up", u"\u0E01"}) {
        browser.eventAlt = alt;
        browser.MouseUp();
    }
    browser.hasAlt = false;
    browser.MouseUp();
    EXPECT_EQ(StatRequests(),
              (std::vector<Text>{u"adm/sendstat.php?app=LOK&key=823C3D&do=click&banner=12abc",
                                 u"adm/sendstat.php?app=LOK&key=823C3D&do=click&banner=7%20up"}));
}

TEST_F(Ads, MouseUpsOnTheStartPageSendNothing) {
    Start();
    browser.eventAlt = u"5";
    browser.MouseUp();
    EXPECT_EQ(StatRequests().size(), 1u);  // the start request only
}

TEST_F(Ads, TheStripAnswersThePictureItsMenuAndItsPageAsTheWindowReportsThem) {
    Start();
    Refreshed();
    AdStripEvents& strip = *s.host.adEvents;

    // The "more" picture pops up the ad menu, whatever the button.
    strip.OnMoreMouseUp(1, 0, 3, 4);
    strip.OnMoreMouseUp(2, kShiftMask, 0, 0);
    EXPECT_EQ(s.host.adMenu.shown, 2);

    // Next shows the page's next group; a page without one stays as it is.
    strip.OnNextAd();
    EXPECT_EQ(browser.fired, std::vector<Text>{u"next"});
    browser.hasNext = false;
    strip.OnNextAd();
    EXPECT_EQ(browser.fired.size(), 1u);

    // Ad Info: the site's page about the ads, in the default browser.
    strip.OnAdInfo();
    ASSERT_EQ(s.fp.shell.calls.size(), 1u);
    EXPECT_EQ(s.fp.shell.calls[0].file, site + u"banner.php");
    EXPECT_EQ(s.fp.shell.calls[0].arguments, u"");
    EXPECT_EQ(s.fp.shell.calls[0].folder, u"C:\\Apps\\");

    // A click on a banner is counted, and its link, a new window of the page, opens in the default browser.
    browser.eventAlt = u"12";
    browser.MouseUp();
    browser.onNewWindow(u"http://ads.example/12");
    EXPECT_EQ(StatRequests(), (std::vector<Text>{u"adm/sendstat.php?app=LOK&key=823C3D&do=start",
                                                 u"adm/sendstat.php?app=LOK&key=823C3D&do=click&banner=12"}));
    ASSERT_EQ(s.fp.shell.calls.size(), 2u);
    EXPECT_EQ(s.fp.shell.calls[1].file, u"http://ads.example/12");
    EXPECT_EQ(s.fp.shell.calls[1].arguments, u"");
}

TEST_F(Ads, ALinkForANewWindowOpensInTheDefaultBrowserWhenItIsAWebAddress) {
    Start();
    ASSERT_TRUE(static_cast<bool>(browser.onNewWindow));
    for (const Text url :
         {u"https://shop.example/a?b=1&c=%20", u"javascript:alert(1)", u"HTTP://Example.COM/",
          u"file:///C:/Windows/win.ini", u"C:\\Windows\\notepad.exe", u"http://", u"https:///x",
          u"http://x.example/\" --new-window", u"http://x.example/a b", u"http://x.example/\x01",
          u"mailto:a@b.example", u"", u"ftp://x.example/"})
        browser.onNewWindow(url);
    std::vector<Text> opened;
    for (const FakeShell::Call& call : s.fp.shell.calls) {
        EXPECT_EQ(call.arguments, u"");
        opened.push_back(call.file);
    }
    EXPECT_EQ(opened, (std::vector<Text>{u"https://shop.example/a?b=1&c=%20", u"HTTP://Example.COM/"}));
}

TEST(PercentEncode, KeepsUnreservedCharactersAndEncodesTheRestAsUtf8) {
    EXPECT_EQ(ads::PercentEncode(u"12abc"), u"12abc");
    EXPECT_EQ(ads::PercentEncode(u"AZaz09-._~"), u"AZaz09-._~");
    EXPECT_EQ(ads::PercentEncode(u"1&do=x y/?#%+"), u"1%26do%3Dx%20y%2F%3F%23%25%2B");
    EXPECT_EQ(ads::PercentEncode(u"\u00E9\u0E01"), u"%C3%A9%E0%B8%81");
    EXPECT_EQ(ads::PercentEncode(u"\U0001F600"), u"%F0%9F%98%80");
    EXPECT_EQ(ads::PercentEncode(Text(1, u'\xD800')), u"%EF%BF%BD");
}

TEST_F(Ads, ARefreshWhoseCompletionIsLostIsGivenUpAtItsRealDeadlineAndTheNextTickStartsAnother) {
    s.fp.jobs.hold = true;
    Start();
    net.bodies[site + u"files/banner.txt"] = "1\ta.gif\t4\thttp://x.example/\tt\r\n";
    net.bodies[site + u"files/banner/a.gif"] = "GIF!";
    const int64_t t = clock.now;
    TicksAt({t, t + 2});
    s.fp.jobs.CompleteNext();                          // the start statistic
    std::function<void()> lost = s.fp.jobs.RunNext();  // the list came, its completion never does
    ASSERT_EQ(ListRequests(), 1);

    // Short of the deadline in real time, however far the wall clock is set: still under way.
    clock.elapsed += (ads::kRefreshDeadline - 1) * 1000;
    TicksAt({t + 2 + 4 * kDay, t - kDay});
    EXPECT_EQ(ListRequests(), 1);
    EXPECT_EQ(s.fp.jobs.Pending(), 0u);

    // Past it: given up, and the next tick starts another although the schedule is days ahead.
    clock.elapsed += 2000;
    TicksAt({t - kDay});
    EXPECT_EQ(s.fp.jobs.Pending(), 0u);
    TicksAt({t - kDay});
    ASSERT_EQ(s.fp.jobs.Pending(), 1u);
    std::function<void()> fresh = s.fp.jobs.RunNext();
    EXPECT_EQ(ListRequests(), 2);

    // The lost completion turning up late changes nothing; the new refresh runs to its page.
    lost();
    EXPECT_EQ(s.fp.jobs.Pending(), 0u);
    EXPECT_EQ(browser.attachCount, 0);
    fresh();
    EXPECT_EQ(s.fp.jobs.Pending(), 1u);  // the image
    s.fp.jobs.CompleteAll();
    EXPECT_EQ(std::count(net.requested.begin(), net.requested.end(), site + u"files/banner/a.gif"), 1);
    EXPECT_EQ(s.fp.files.Get(u"C:\\Apps\\banner\\a.gif"), "GIF!");
    EXPECT_EQ(browser.attachCount, 1);
    TicksAt({t - kDay + 1});  // one refresh at a time, then none until it is due
    EXPECT_EQ(ListRequests(), 2);
}
