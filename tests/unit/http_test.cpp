#include "ads/http.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace {

const Text kUrl = u"http://site.example/files/banner/a.gif";

struct HttpFetch : ::testing::Test {
    FakePlatform fp;
    FakeHttp& net = fp.http;
    FakeFiles& files = fp.files;
    ads::Fetcher p{fp.http, fp.clock};
};

}  // namespace

TEST_F(HttpFetch, BodiesAroundTheReadSizeArriveWhole) {
    struct Case {
        size_t size;
        std::vector<size_t> reads;
    };
    for (const Case& c : {Case{300, {256, 44, 0}}, Case{256, {256, 0}}, Case{5, {5, 0}}, Case{0, {0}}}) {
        SCOPED_TRACE(c.size);
        net.readSizes.clear();
        Bytes body(c.size, 'x');
        if (c.size) body[c.size - 1] = 'z';
        net.bodies[kUrl] = body;
        const Text text = ads::GetUrlText(p, kUrl);
        EXPECT_EQ(text, Text(body.begin(), body.end()));
        EXPECT_EQ(net.readSizes, c.reads);
        EXPECT_EQ(net.openBodies, 0);
    }
}

TEST_F(HttpFetch, UsesTheFixedAgentAndConvertsThroughTheCodePage) {
    net.bodies[kUrl] = "ok \xA1\xE0";
    EXPECT_EQ(ads::GetUrlText(p, kUrl), u"ok \u0E01\u0E40");
    EXPECT_EQ(ads::FetchFile(p, kUrl).body, "ok \xA1\xE0");
    EXPECT_EQ(net.agents, (std::vector<Text>{u"vb wininet", u"vb wininet"}));
}

TEST_F(HttpFetch, NothingToOpenIsAskedOnceAndGivesAnEmptyText) {
    EXPECT_EQ(ads::GetUrlText(p, u"http://nowhere.example/x"), u"");
    EXPECT_EQ(net.requested, std::vector<Text>{u"http://nowhere.example/x"});
    EXPECT_TRUE(net.readSizes.empty());
}

TEST_F(HttpFetch, ATextCutShortIsWhatArrivedBeforeTheFailure) {
    net.bodies[kUrl] = Bytes(600, 'a');
    net.failAfter[kUrl] = 512;
    EXPECT_EQ(ads::GetUrlText(p, kUrl), Text(512, u'a'));
    EXPECT_EQ(net.openBodies, 0);
}

TEST_F(HttpFetch, ATricklingSiteIsGivenUpAtTheDeadlineAndLeavesNoFileWhileAQuickerOneArrivesWhole) {
    // A byte a second, each read within the time-outs: only the request's own deadline ends it.
    const Text trickle = u"http://site.example/files/banner.txt";
    net.bodies[trickle] = Bytes(100 * ads::kReadSize, 't');
    net.onRead = [&] { fp.clock.Pass(1); };
    const int64_t start = fp.clock.now;
    EXPECT_EQ(ads::GetUrlText(p, trickle), u"");
    EXPECT_LE(fp.clock.now - start, ads::kRequestDeadline + 1);
    EXPECT_EQ(net.openBodies, 0);

    files.Put(u"C:\\Apps\\banner\\a.gif", "previous image");
    net.bodies[kUrl] = net.bodies[trickle];
    const ads::Fetched late = ads::FetchFile(p, kUrl);
    EXPECT_EQ(late.outcome, ads::Fetched::Outcome::Broken);
    EXPECT_EQ(late.body, "");
    Text local = u"C:\\Apps\\banner\\a.gif";
    ads::SaveFetched(files, late, kUrl, local);
    EXPECT_FALSE(files.FileExists(local));
    EXPECT_EQ(files.files.size(), 0u);

    // Fourteen reads in fourteen seconds: within the deadline, whole.
    net.bodies[kUrl] = Bytes(13 * ads::kReadSize, 'g');
    const ads::Fetched inTime = ads::FetchFile(p, kUrl);
    EXPECT_EQ(inTime.outcome, ads::Fetched::Outcome::Whole);
    ads::SaveFetched(files, inTime, kUrl, local);
    EXPECT_EQ(files.Get(local), Bytes(13 * ads::kReadSize, 'g'));
    EXPECT_EQ(ads::FetchFile(p, u"http://nowhere.example/x").outcome, ads::Fetched::Outcome::NotOpened);
    EXPECT_EQ(net.openBodies, 0);
}

TEST_F(HttpFetch, DownloadWritesExactlyTheBytesOfTheBody) {
    Bytes body;
    for (int i = 0; i < 300; ++i) body += static_cast<char>(i);
    net.bodies[kUrl] = body;
    Text local = u"C:\\Apps\\banner\\a.gif";
    ads::DownloadFile(p, files, kUrl, local);
    EXPECT_EQ(files.Get(local), body);
    EXPECT_EQ(local, u"C:\\Apps\\banner\\a.gif");
    EXPECT_EQ(net.readSizes, (std::vector<size_t>{256, 44, 0}));
    EXPECT_EQ(net.openBodies, 0);

    net.bodies[kUrl] = "";
    ads::DownloadFile(p, files, kUrl, local);
    EXPECT_TRUE(files.FileExists(local));
    EXPECT_EQ(files.Get(local), "");
}

TEST_F(HttpFetch, DownloadFromAnUnreachableUrlLeavesTheFileAlone) {
    files.Put(u"C:\\Apps\\banner\\a.gif", "old");
    Text local = u"C:\\Apps\\banner\\a.gif";
    ads::DownloadFile(p, files, u"http://nowhere.example/a.gif", local);
    EXPECT_EQ(files.Get(local), "old");
    Text empty;
    ads::DownloadFile(p, files, u"http://nowhere.example/b.gif", empty);
    EXPECT_EQ(empty, u"");  // the name is derived only once the URL opened
    EXPECT_EQ(files.files.size(), 1u);
}

TEST_F(HttpFetch, DownloadWithoutALocalPathTakesTheLastSegmentOfTheUrl) {
    net.bodies[kUrl] = "GIF89a";
    Text local;
    ads::DownloadFile(p, files, kUrl, local);
    EXPECT_EQ(local, u"a.gif");
    EXPECT_EQ(files.Get(u"a.gif"), "GIF89a");

    net.bodies[u"noslash"] = "n";
    Text whole;
    ads::DownloadFile(p, files, u"noslash", whole);
    EXPECT_EQ(whole, u"noslash");
}

TEST_F(HttpFetch, ADownloadCutShortOrTooLargeLeavesNoFileBehindAndATooLongTextIsNone) {
    files.Put(u"C:\\Apps\\banner\\a.gif", "previous image");
    net.bodies[kUrl] = Bytes(1000, 'g');
    net.failAfter[kUrl] = 256;
    Text local = u"C:\\Apps\\banner\\a.gif";
    ads::DownloadFile(p, files, kUrl, local);
    EXPECT_FALSE(files.FileExists(local));
    EXPECT_EQ(files.files.size(), 0u);  // no temporary file either
    EXPECT_EQ(net.openBodies, 0);

    // At the bound a body is whole; one byte more and nothing is kept, and the reading stops there.
    net.failAfter.clear();
    for (const size_t extra : {0, 1}) {
        SCOPED_TRACE(extra);
        net.bodies[kUrl] = Bytes(ads::kLargestFile + extra, 'g');
        files.Put(local, "previous image");
        net.readSizes.clear();
        ads::DownloadFile(p, files, kUrl, local);
        EXPECT_EQ(files.FileExists(local), extra == 0);
        EXPECT_LE(net.readSizes.size(), ads::kLargestFile / ads::kReadSize + 1);
        EXPECT_EQ(files.files.size(), extra == 0 ? 1u : 0u);

        net.bodies[kUrl] = Bytes(ads::kLargestText + extra, 'l');
        net.readSizes.clear();
        EXPECT_EQ(ads::GetUrlText(p, kUrl).size(), extra == 0 ? ads::kLargestText : 0u);
        EXPECT_LE(net.readSizes.size(), ads::kLargestText / ads::kReadSize + 1);
        EXPECT_EQ(net.openBodies, 0);
    }
}

TEST_F(HttpFetch, AFileThatCannotBeWrittenIsSkipped) {
    net.bodies[kUrl] = "new";
    files.Put(u"C:\\Apps\\banner\\a.gif", "old");
    files.failCreateTemp = true;
    Text local = u"C:\\Apps\\banner\\a.gif";
    ads::DownloadFile(p, files, kUrl, local);
    EXPECT_EQ(files.Get(local), "old");
    EXPECT_EQ(net.openBodies, 0);
}

TEST_F(HttpFetch, TheDeadlineIsTheMonotonicClocksWhereverTheWallClockIsSet) {
    // Each read takes a second; meanwhile the wall clock is set back or forward (by a user, a time server
    // or the end of summer time). Only the seconds that really pass count.
    struct Case {
        const char* what;
        int64_t wallStep;  // seconds the wall clock moves at each read, besides the one that passes
        size_t reads;      // of the body: within the deadline or not
        bool whole;
    };
    for (const Case& c : {Case{"set back an hour each read, a slow site", -3600, 100, false},
                          Case{"set back an hour each read, a quick site", -3600, 13, true},
                          Case{"set forward a day each read, a quick site", 86400, 13, true},
                          Case{"set forward a day each read, a slow site", 86400, 100, false}}) {
        SCOPED_TRACE(c.what);
        net.bodies[kUrl] = Bytes(c.reads * ads::kReadSize, 'b');
        net.readSizes.clear();
        net.onRead = [&] {
            fp.clock.Pass(1);
            fp.clock.now += c.wallStep;
        };
        const int64_t start = fp.clock.MonotonicMilliseconds();
        const ads::Fetched got = ads::FetchFile(p, kUrl);
        EXPECT_EQ(got.outcome, c.whole ? ads::Fetched::Outcome::Whole : ads::Fetched::Outcome::Broken);
        EXPECT_EQ(got.body.size(), c.whole ? c.reads * ads::kReadSize : 0u);
        if (!c.whole) {
            EXPECT_GE(fp.clock.MonotonicMilliseconds() - start, ads::kRequestDeadline * 1000);
            EXPECT_LE(fp.clock.MonotonicMilliseconds() - start, (ads::kRequestDeadline + 1) * 1000);
        }
        EXPECT_EQ(net.openBodies, 0);
    }
}
