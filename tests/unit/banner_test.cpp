#include "ads/banner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "ads/stats.h"
#include "fakes/fake_platform.h"

namespace {

const Text kTemplate = u"<html><body>\r\n<div></div>\r\n<a id='next'>&gt;</a></body></html>";
const Text kListPath = u"C:\\Apps\\banner\\banner.txt";
const Text kPagePath = u"C:\\Apps\\php\\banner.html";

Text Record(int n, const Text& size = u"4") {
    const Text id = Text(1, static_cast<char16_t>(u'A' + n));
    return id + u"\t" + id + u".gif\t" + size + u"\thttp://ads.example/" + id + u"\tTitle " + id;
}

Text Join(const std::vector<Text>& records) {
    Text list;
    for (const Text& r : records) list += r + u"\r\n";
    return list;
}

Bytes B(const Text& t) { return Bytes(t.begin(), t.end()); }
Text T(const Bytes& b) { return Text(b.begin(), b.end()); }

size_t Count(const Text& text, const Text& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != Text::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

struct Banner : ::testing::Test {
    Started s;
    Editor& editor = s.editor();
    FakeFiles& files = s.fp.files;
    FakeHttp& net = s.fp.http;
    const Text site = app::kSiteUrl;

    Banner() {
        files.folders.insert(FakeFiles::Key(u"C:\\Apps"));
        files.Put(u"C:\\Apps\\php\\000.html", B(kTemplate));
        editor.OnTimer();  // the first tick puts the first refresh a second ahead
        net.requested.clear();
    }
    // A refresh, as the window's timer brings one: a tick past the schedule (each refresh puts the next
    // three days ahead). A tick while one is under way starts none.
    void Refresh() {
        s.fp.clock.now += 4 * 24 * 60 * 60;
        editor.OnTimer();
    }
    void Serve(const Text& list, bool withImages = true) {
        net.bodies[site + u"files/banner.txt"] = B(list);
        if (!withImages) return;
        for (const auto& r : ads::UsableRecords(list)) net.bodies[site + u"files/banner/" + r.image] = "GIF!";
    }
    Text Page() const { return T(files.Get(kPagePath)); }
    // The text that replaced the marker.
    Text Groups() const {
        const Text page = Page();
        const size_t start = page.find(u"<body>\r\n") + 8, end = page.rfind(u"\r\n<a id='next'>");
        return page.substr(start, end - start);
    }
    std::vector<Text> ImageRequests() const {
        std::vector<Text> r;
        for (const Text& u : net.requested)
            if (u.find(u"files/banner/") != Text::npos) r.push_back(u.substr(u.rfind(u'/') + 1));
        return r;
    }
};

}  // namespace

TEST_F(Banner, OneRecordBecomesExactlyThisEntry) {
    Serve(Record(0) + u"\r\n");
    Refresh();
    EXPECT_EQ(Groups(),
              u"\t<div>\r\n\t<a href='http://ads.example/A' target='_blank'><img src='..\\banner\\A.gif' "
              u"title='Title A' alt='A'></a> \r\n\t</div>");
    EXPECT_EQ(T(files.Get(kListPath)), Record(0) + u"\r\n");
    EXPECT_EQ(files.Get(u"C:\\Apps\\banner\\A.gif"), "GIF!");
    EXPECT_TRUE(files.folders.count(FakeFiles::Key(u"C:\\Apps\\banner")));
}

TEST_F(Banner, RecordsAreGroupedBySixAndOnlyTheLastGroupEndsWithoutALineBreak) {
    struct Case {
        int records;
        size_t groups;
        bool endsWithBreak;
    };
    for (const Case& c : {Case{13, 3, false}, Case{6, 1, true}, Case{12, 2, true}, Case{1, 1, false}}) {
        SCOPED_TRACE(c.records);
        std::vector<Text> records;
        for (int i = 0; i < c.records; ++i) records.push_back(Record(i));
        files.files.erase(FakeFiles::Key(kListPath));
        Serve(Join(records));
        Refresh();
        const Text groups = Groups();
        EXPECT_EQ(Count(groups, u"\t<div>\r\n"), c.groups);
        EXPECT_EQ(Count(groups, u"\t</div>\r\n"), c.endsWithBreak ? c.groups : c.groups - 1);
        EXPECT_EQ(Count(groups, u"<img "), static_cast<size_t>(c.records));
        EXPECT_TRUE(groups.ends_with(c.endsWithBreak ? u"</div>\r\n" : u"'></a> \r\n\t</div>"));
        // A group opens after every sixth entry and never in the middle of one.
        EXPECT_EQ(Count(groups, u"alt='F'></a> \r\n\t</div>\r\n"), c.records >= 6 ? 1u : 0u);
    }
}

TEST_F(Banner, EmptyRecordsNeitherCountNorBreakAGroup) {
    Text list = u"\r\n";
    for (int i = 0; i < 7; ++i) list += Record(i) + (i == 2 ? u"\r\n\r\n\r\n" : u"\r\n");
    Serve(list);
    Refresh();
    const Text groups = Groups();
    EXPECT_EQ(Count(groups, u"\t<div>\r\n"), 2u);
    EXPECT_NE(groups.find(u"alt='F'></a> \r\n\t</div>\r\n\t<div>\r\n\t<a href='http://ads.example/G'"),
              Text::npos);
    EXPECT_EQ(ImageRequests().size(), 7u);
}

TEST_F(Banner, AListOfOnlyLineBreaksIsStoredAndEmptiesTheMarker) {
    Serve(u"\r\n\r\n\r\n");
    Refresh();
    EXPECT_EQ(T(files.Get(kListPath)), u"\r\n\r\n\r\n");
    EXPECT_TRUE(ImageRequests().empty());
    EXPECT_EQ(Page(), u"<html><body>\r\n\r\n<a id='next'>&gt;</a></body></html>");
}

TEST_F(Banner, EveryMarkerOfTheTemplateReceivesTheGroups) {
    files.Put(u"C:\\Apps\\php\\000.html", "<div></div>|<DIV></DIV>|<div></div>");
    Serve(Record(0) + u"\r\n");
    Refresh();
    const Text groups = ads::BannerGroups(ads::UsableRecords(Record(0)));
    EXPECT_EQ(Page(), groups + u"|<DIV></DIV>|" + groups);
}

TEST_F(Banner, ATemplateWithoutMarkerIsCopiedAndAMissingOneGivesAnEmptyPage) {
    files.Put(u"C:\\Apps\\php\\000.html", "<p>plain</p>");
    Serve(Record(0) + u"\r\n");
    Refresh();
    EXPECT_EQ(Page(), u"<p>plain</p>");

    files.files.erase(FakeFiles::Key(u"C:\\Apps\\php\\000.html"));
    Serve(Record(0) + u"\r\n" + Record(1) + u"\r\n");
    Refresh();
    EXPECT_TRUE(files.FileExists(kPagePath));
    EXPECT_EQ(Page(), u"");
}

TEST_F(Banner, AListOfTheStoredLengthChangesNothing) {
    files.Put(kListPath, B(Record(1) + u"\r\n"));
    Serve(Record(2) + u"\r\n");  // another list, same length
    Refresh();
    EXPECT_EQ(T(files.Get(kListPath)), Record(1) + u"\r\n");
    EXPECT_TRUE(ImageRequests().empty());
    EXPECT_FALSE(files.FileExists(kPagePath));
}

TEST_F(Banner, AnUnreachableSiteOrAnEmptyListKeepsWhatAnEarlierRefreshMade) {
    files.Put(kListPath, "old list");
    files.Put(kPagePath, "old page");
    Refresh();  // nothing served
    Serve(u"");
    Refresh();
    EXPECT_EQ(files.Get(kListPath), "old list");
    EXPECT_EQ(files.Get(kPagePath), "old page");
    EXPECT_TRUE(ImageRequests().empty());
}

TEST_F(Banner, AnImageOfTheListedLengthStaysWhateverItsContent) {
    files.Put(u"C:\\Apps\\banner\\A.gif", "abcd");  // size 4, as listed
    files.Put(u"C:\\Apps\\banner\\B.gif", "abc");   // wrong size
    files.Put(u"C:\\Apps\\banner\\C.gif", Bytes(2345, 'c'));
    files.Put(u"C:\\Apps\\banner\\D.gif", "some");
    Serve(Join({Record(0), Record(1), Record(2, u"2345abc"), Record(3, u"abc"), Record(4)}));
    Refresh();
    EXPECT_EQ(files.Get(u"C:\\Apps\\banner\\A.gif"), "abcd");
    EXPECT_EQ(files.Get(u"C:\\Apps\\banner\\B.gif"), "GIF!");
    EXPECT_EQ(files.Get(u"C:\\Apps\\banner\\C.gif"), Bytes(2345, 'c'));
    EXPECT_EQ(files.Get(u"C:\\Apps\\banner\\D.gif"), "GIF!");  // no number reads as 0
    EXPECT_EQ(ImageRequests(), (std::vector<Text>{u"B.gif", u"D.gif", u"E.gif"}));
}

TEST_F(Banner, AnImageThatCannotBeFetchedIsLeftOutButStillOnThePage) {
    files.Put(u"C:\\Apps\\banner\\A.gif", "stale");
    Serve(Record(0) + u"\r\n" + Record(1) + u"\r\n", false);
    net.bodies[site + u"files/banner/B.gif"] = "GIF!";
    Refresh();
    EXPECT_FALSE(files.FileExists(u"C:\\Apps\\banner\\A.gif"));
    EXPECT_EQ(files.Get(u"C:\\Apps\\banner\\B.gif"), "GIF!");
    EXPECT_EQ(Count(Groups(), u"<img "), 2u);
}

TEST_F(Banner, ImagesAreFetchedOneAtATimeAndTheListAndPageWrittenOnlyAfterTheLast) {
    Serve(Join({Record(0), Record(1), Record(2)}));
    s.fp.jobs.hold = true;
    Refresh();
    Refresh();  // one refresh at a time
    std::vector<size_t> pendingAfterEach;
    std::vector<bool> pageAfterEach;
    while (s.fp.jobs.Pending()) {
        s.fp.jobs.CompleteNext();
        pendingAfterEach.push_back(s.fp.jobs.Pending());
        pageAfterEach.push_back(files.FileExists(kPagePath) || files.FileExists(kListPath));
    }
    EXPECT_EQ(pendingAfterEach, (std::vector<size_t>{1, 1, 1, 0}));
    EXPECT_EQ(pageAfterEach, (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(ImageRequests(), (std::vector<Text>{u"A.gif", u"B.gif", u"C.gif"}));
    EXPECT_EQ(net.requested.size(), 4u);
    EXPECT_EQ(Count(Groups(), u"<img "), 3u);
    EXPECT_FALSE(editor.CurrentDocument().modified);
}

TEST_F(Banner, HostileImageNamesNeverBecomePaths) {
    const std::vector<Text> names = {u"..\\..\\evil.exe", u"../up.gif", u"sub/x.gif",   u"sub\\x.gif",
                                     u"C:x.gif",          u"a..b.gif",  u"tab\x01.gif", u"",
                                     u"nul.gif",          u"CON",       u"com1.gif",    u"q?.gif"};
    std::vector<Text> records;
    for (const Text& n : names) records.push_back(u"7\t" + n + u"\t4\thttp://ads.example/\tt");
    records.push_back(Record(0));
    Serve(Join(records), false);
    for (const Text& n : names) net.bodies[site + u"files/banner/" + n] = "EVIL";
    net.bodies[site + u"files/banner/A.gif"] = "GIF!";
    Refresh();
    EXPECT_EQ(ImageRequests(), std::vector<Text>{u"A.gif"});
    for (const auto& [path, bytes] : files.files) {
        EXPECT_NE(bytes, "EVIL") << std::string(path.begin(), path.end());
        EXPECT_TRUE(path.starts_with(u"c:\\apps\\banner\\") || path.starts_with(u"c:\\apps\\php\\"))
            << std::string(path.begin(), path.end());
    }
    EXPECT_EQ(Count(Groups(), u"<img "), 1u);
    EXPECT_NE(Groups().find(u"alt='A'"), Text::npos);
}

TEST_F(Banner, FieldsAreEscapedAndOnlyWebLinksReachThePage) {
    Serve(Join({u"1' onmouseover='x\tok&.gif\t4\tjavascript:alert(1)\t<script>alert(\"t\")</script>",
                u"2\tb.gif\t4\tHTTPS://ads.example/?a=1&b='2'\tfine", u"3\tc.gif\t4\tdata:text/html,x\tc",
                u"4\td.gif\t4\t http://lead.example/\td", u"5\te.gif\t4\thttp://ok.example/\te\textra\tmore",
                u"6\tshort.gif\t4\thttp://ok.example/"}));
    Refresh();
    const Text g = Groups();
    EXPECT_NE(
        g.find(u"<a href='#' target='_blank'><img src='..\\banner\\ok&amp;.gif' "
               u"title='&lt;script&gt;alert(&quot;t&quot;)&lt;/script&gt;' alt='1&#39; onmouseover=&#39;x'>"),
        Text::npos);
    EXPECT_NE(g.find(u"href='HTTPS://ads.example/?a=1&amp;b=&#39;2&#39;'"), Text::npos);
    EXPECT_NE(g.find(u"<a href='#' target='_blank'><img src='..\\banner\\c.gif'"), Text::npos);
    EXPECT_NE(g.find(u"<a href='#' target='_blank'><img src='..\\banner\\d.gif'"), Text::npos);
    EXPECT_NE(
        g.find(
            u"<a href='http://ok.example/' target='_blank'><img src='..\\banner\\e.gif' title='e' alt='5'>"),
        Text::npos);
    EXPECT_EQ(g.find(u"short.gif"), Text::npos);  // fewer than five fields
    EXPECT_EQ(g.find(u"<script"), Text::npos);
    EXPECT_EQ(Count(g, u"<img "), 5u);
}

TEST(BannerText, LeadingNumberReadsWhatANumberStartsWith) {
    EXPECT_EQ(ads::LeadingNumber(u"2345abc"), 2345);
    EXPECT_EQ(ads::LeadingNumber(u"abc"), 0);
    EXPECT_EQ(ads::LeadingNumber(u""), 0);
    EXPECT_EQ(ads::LeadingNumber(u"  12"), 12);
    EXPECT_EQ(ads::LeadingNumber(u"-3"), -3);
    EXPECT_EQ(ads::LeadingNumber(u"0.5x"), 0.5);
    EXPECT_EQ(ads::LeadingNumber(u"1e3"), 1000);
    EXPECT_EQ(ads::LeadingNumber(u"12e"), 12);
    EXPECT_EQ(ads::LeadingNumber(u"-"), 0);
    EXPECT_EQ(ads::LeadingNumber(u".x"), 0);
}

TEST(BannerText, ReplaceAllScansOnceFromTheStart) {
    EXPECT_EQ(base::ReplaceAll(u"aXbXc", u"X", u"XX"), u"aXXbXXc");
    EXPECT_EQ(base::ReplaceAll(u"<div></div></div>", u"<div></div>", u"<div>"), u"<div></div>");
    EXPECT_EQ(base::ReplaceAll(u"none", u"<div></div>", u"x"), u"none");
}

TEST(BannerTemplate, TheShippedStartPageHoldsOneMarkerAndTheNextElement) {
    // From the source folder (a compiler cache may make __FILE__ relative to a build folder).
    const std::string path = LOCKLEAF_FIXTURES "/../../php/000.html";
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const Text text(page.begin(), page.end());
    EXPECT_EQ(Count(text, u"<div></div>"), 1u);
    EXPECT_NE(text.find(u"id=\"next\""), Text::npos);
    EXPECT_NE(text.find(u"onclick=\"return showNext();\""), Text::npos);
    EXPECT_TRUE(text.starts_with(u"<!DOCTYPE html>"));
    EXPECT_TRUE(std::all_of(page.begin(), page.end(), [](char c) { return c > 0; }));  // plain ASCII
    // Filled with groups, the marker is gone and every group sits inside the banner container.
    const Text filled =
        base::ReplaceAll(text, u"<div></div>", ads::BannerGroups(ads::UsableRecords(Record(0))));
    EXPECT_EQ(Count(filled, u"<div></div>"), 0u);
    EXPECT_NE(filled.find(u"<div id=\"banners\">\n\t<div>\r\n\t<a href="), Text::npos);
}

TEST_F(Banner, ARefreshFetchesAtMostTheRecordBoundAndStopsStartingFetchesWhenItsTimeIsUp) {
    // A list of more records than the bound: the rest are never fetched nor shown.
    std::vector<Text> many;
    for (size_t i = 0; i < ads::kMostBanners + 5; ++i) {
        const std::string n = std::to_string(i);
        many.push_back(u"1\ti" + Text(n.begin(), n.end()) + u".gif\t4\thttp://ads.example/\tt");
    }
    const Text list = Join(many);
    Serve(list);
    Refresh();
    EXPECT_EQ(ImageRequests().size(), ads::kMostBanners);
    EXPECT_EQ(Count(Groups(), u"<img "), ads::kMostBanners);
    EXPECT_EQ(T(files.Get(kListPath)), list);

    // A slow site: every read takes two seconds of the clock, a fetch four, while the wall clock is set back
    // an hour at each (the budget is real time). No fetch starts after the budget; the list is not stored,
    // so the next refresh fetches the images still missing.
    const Text next = Join({Record(0), Record(1), Record(2), Record(3), Record(4)});
    Serve(next);
    net.requested.clear();
    net.onRead = [&] {  // each fetch reads twice
        s.fp.clock.Pass(2);
        s.fp.clock.now -= 3600;
    };
    const int64_t start = s.fp.clock.elapsed;
    Refresh();
    const size_t fetched = ImageRequests().size();
    EXPECT_GE(fetched, 1u);
    EXPECT_LT(fetched, 5u);
    EXPECT_LE(s.fp.clock.elapsed - start, (ads::kRefreshBudget + 4) * 1000);  // the budget, the last fetch
    EXPECT_EQ(T(files.Get(kListPath)), list);                                 // still the one before

    net.requested.clear();
    net.onRead = nullptr;
    Refresh();
    EXPECT_EQ(ImageRequests().size(), 5 - fetched);
    EXPECT_EQ(T(files.Get(kListPath)), next);
}
