// WinINet against the local fake site: bodies, query strings, the cache, refused and silent servers,
// broken-off bodies.
#include <windows.h>

#include <gtest/gtest.h>
#include <wininet.h>

#include <memory>

#include "ads/http.h"
#include "win32/clock_win.h"
#include "win32/fake_site_win.h"
#include "win32/files_win.h"
#include "win32/internet_win.h"
#include "win32/win_util.h"

namespace {

// The real services a fetch uses.
struct RealPlatform {
    Win32Clock clock;
    Win32Files files;
    Win32Http http;
    ads::Fetcher fetcher{http, clock};
};

std::string Body(size_t n) {
    std::string b;
    for (size_t i = 0; i < n; ++i) b += static_cast<char>(i * 7 + 1);
    return b;
}

Text TempPath(const Text& name) {
    wchar_t tmp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH, tmp);
    return win::FromW(tmp) + name;
}

#define REQUIRE_SITE(site) \
    if (!(site).Running()) GTEST_SKIP() << "no fake site (LOCKLEAF_REPO unset or python3 missing)"

}  // namespace

TEST(WinInet, ABodyOf300BytesComesIn256And44ThenNothingAndNoneOfItIsCached) {
    FakeSite site;
    REQUIRE_SITE(site);
    site.Put("files/banner.txt", Body(300));
    Win32Http http;
    const Text url = site.Url("files/banner.txt");
    std::unique_ptr<HttpBody> body = http.Get(url, ads::kUserAgent);
    ASSERT_NE(body, nullptr);
    std::string got;
    std::vector<size_t> sizes;
    char buffer[256];
    for (size_t n = 1; n != 0;) {
        ASSERT_TRUE(body->Read(buffer, sizeof buffer, n));
        sizes.push_back(n);
        got.append(buffer, n);
    }
    body.reset();
    EXPECT_EQ(got, Body(300));
    // WinINet may split a read where the packets split, but never delivers more than asked.
    EXPECT_EQ(sizes.front(), 256u);
    EXPECT_EQ(sizes.back(), 0u);
    EXPECT_EQ(site.Log(), "GET\t/files/banner.txt\tvb wininet\n");

    // The answer left no entry in the URL cache.
    using CacheEntryInfo = BOOL(WINAPI*)(LPCWSTR, LPINTERNET_CACHE_ENTRY_INFOW, LPDWORD);
    const auto entryInfo = reinterpret_cast<CacheEntryInfo>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"wininet.dll"), "GetUrlCacheEntryInfoW")));
    ASSERT_NE(entryInfo, nullptr);
    DWORD size = 0;
    EXPECT_FALSE(entryInfo(win::W(url), nullptr, &size));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(WinInet, TheProceduresFetchTextAndFilesWithTheQueryAsSent) {
    FakeSite site;
    REQUIRE_SITE(site);
    RealPlatform rp;
    site.Put("files/banner.txt", "1\ta.gif\t6\thttp://x.example/\tt\r\n");
    const std::string image = "GIF89a" + Body(700);
    site.Put("files/banner/a.gif", image);
    EXPECT_EQ(ads::GetUrlText(rp.fetcher, site.Url("files/banner.txt")),
              u"1\ta.gif\t6\thttp://x.example/\tt\r\n");
    EXPECT_EQ(
        ads::GetUrlText(rp.fetcher, site.Url("adm/sendstat.php?app=LOK&key=823C3D&do=click&banner=7%20up")),
        u"");
    // A 404 page is no body: nothing comes back, and a download keeps the file it had.
    EXPECT_EQ(ads::GetUrlText(rp.fetcher, site.Url("files/missing.txt")), u"");

    Text local = TempPath(u"lockleaf-a.gif");
    ads::DownloadFile(rp.fetcher, rp.files, site.Url("files/banner/a.gif"), local);
    Bytes written;
    EXPECT_TRUE(rp.files.ReadAll(local, written));
    EXPECT_EQ(written, image);
    ads::DownloadFile(rp.fetcher, rp.files, site.Url("files/banner/missing.gif"), local);
    EXPECT_TRUE(rp.files.ReadAll(local, written));
    EXPECT_EQ(written, image);
    DeleteFileW(win::W(local));

    EXPECT_NE(
        site.Log().find("GET\t/adm/sendstat.php?app=LOK&key=823C3D&do=click&banner=7%20up\tvb wininet\n"),
        std::string::npos);
}

TEST(WinInet, ABodyThatBreaksOffIsAFailedReadAndLeavesNoFile) {
    FakeSite site("--cut /files/banner/big.gif");
    REQUIRE_SITE(site);
    RealPlatform rp;
    site.Put("files/banner/big.gif", Body(4000));
    Text local = TempPath(u"lockleaf-big.gif");
    rp.files.WriteFlushed(local, "previous");
    ads::DownloadFile(rp.fetcher, rp.files, site.Url("files/banner/big.gif"), local);
    EXPECT_FALSE(rp.files.FileExists(local));
    DeleteFileW(win::W(local));
    const Text text = ads::GetUrlText(rp.fetcher, site.Url("files/banner/big.gif"));
    EXPECT_EQ(text.size(), 2000u);  // what arrived before the break
}

TEST(WinInet, ARefusedPortFailsAtOnce) {
    Win32Http http;
    const DWORD start = GetTickCount();
    EXPECT_EQ(http.Get(u"http://127.0.0.1:1/files/banner.txt", ads::kUserAgent), nullptr);
    EXPECT_LT(GetTickCount() - start, 2000u);
}

TEST(WinInet, ASilentServerGivesUpWithinTheTimeOut) {
    FakeSite site("--silent");
    REQUIRE_SITE(site);
    RealPlatform rp;
    const DWORD start = GetTickCount();
    EXPECT_EQ(ads::GetUrlText(rp.fetcher, site.Url("adm/sendstat.php?app=LOK&key=1&do=start")), u"");
    const DWORD took = GetTickCount() - start;
    EXPECT_LT(took, Win32Http::kConnectTimeoutMs + Win32Http::kReceiveTimeoutMs + 2000);
    EXPECT_GE(took, Win32Http::kReceiveTimeoutMs / 2);  // it really waited for the answer
    EXPECT_EQ(site.Log(), "SILENT\tGET /adm/sendstat.php?app=LOK&key=1&do=start HTTP/1.1\n");
}

TEST(WinInet, ASiteThatTricklesAByteASecondIsGivenUpAtTheDeadlineWithNothingSaved) {
    FakeSite site("--trickle");
    REQUIRE_SITE(site);
    site.Put("files/banner/a.gif", std::string(64, 'g'));
    RealPlatform rp;
    const Text local = TempPath(u"ll_trickle.gif");
    rp.files.WriteFlushed(local, "previous");
    const DWORD t0 = GetTickCount();
    Text path = local;
    ads::DownloadFile(rp.fetcher, rp.files, site.Url("files/banner/a.gif"), path);
    const DWORD took = GetTickCount() - t0;
    EXPECT_FALSE(rp.files.FileExists(local));  // half an image is no image
    // Bytes kept arriving all along; only the request's own deadline ended it, not the whole body's minute.
    EXPECT_GE(took, static_cast<DWORD>(ads::kRequestDeadline * 1000 - 1000));
    EXPECT_LT(took, static_cast<DWORD>((ads::kRequestDeadline + 6) * 1000));
}
