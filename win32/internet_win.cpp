#include "win32/internet_win.h"
#include <windows.h>

#include <wininet.h>

#include <algorithm>
#include <string>
#include <utility>

#include "win32/scoped.h"
#include "win32/system_dlls.h"
#include "win32/win_util.h"

namespace {

// InternetOpenUrl takes its time-outs from nowhere under Wine and waits forever on a silent server; the
// options hold only when set on the request handle itself.
void SetTimeouts(HINTERNET h) {
    DWORD connect = Win32Http::kConnectTimeoutMs, receive = Win32Http::kReceiveTimeoutMs;
    win::WinInet().InternetSetOptionW(h, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
    win::WinInet().InternetSetOptionW(h, INTERNET_OPTION_SEND_TIMEOUT, &receive, sizeof receive);
    win::WinInet().InternetSetOptionW(h, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof receive);
    win::WinInet().InternetSetOptionW(h, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, &receive, sizeof receive);
}

class WinInetBody : public HttpBody {
public:
    // connect is none when the URL was opened whole (not http or https); length is the Content-Length, when
    // the answer gave one.
    WinInetBody(win::ScopedInternet session, win::ScopedInternet connect, win::ScopedInternet request,
                bool lengthKnown, uint64_t length)
        : m_Session(std::move(session)),
          m_Connect(std::move(connect)),
          m_Request(std::move(request)),
          m_LengthKnown(lengthKnown),
          m_Length(length) {}

    bool Read(char* buffer, size_t size, size_t& read) override {
        read = 0;
        // Only what has arrived is read: a site that sends a byte a second would otherwise hold one read
        // until the whole buffer is filled, past any deadline of the caller's.
        DWORD available = 0;
        if (!win::WinInet().InternetQueryDataAvailable(m_Request.Get(), &available, 0, 0)) return false;
        DWORD n = 0;
        if (available != 0 &&
            !win::WinInet().InternetReadFile(m_Request.Get(), buffer,
                                             static_cast<DWORD>(std::min<size_t>(size, available)), &n))
            return false;
        read = n;
        m_Received += n;
        // The connection closed before the announced length: the body broke off.
        return !(n == 0 && m_LengthKnown && m_Received < m_Length);
    }

private:
    // Closed in the reverse order: the request first, the session last.
    win::ScopedInternet m_Session, m_Connect, m_Request;
    bool m_LengthKnown;
    uint64_t m_Length, m_Received = 0;
};

}  // namespace

std::unique_ptr<HttpBody> Win32Http::Get(const Text& url, const Text& agent) {
    if (!win::WinInet().loaded) return nullptr;
    win::ScopedInternet session(
        win::WinInet().InternetOpenW(win::W(agent), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session.Valid()) return nullptr;
    SetTimeouts(session.Get());

    std::wstring host(INTERNET_MAX_HOST_NAME_LENGTH + 1, L'\0'), path(url.size() + 1, L'\0'),
        extra(url.size() + 1, L'\0');
    URL_COMPONENTSW parts{sizeof parts};
    parts.lpszHostName = host.data();
    parts.dwHostNameLength = static_cast<DWORD>(host.size());
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = static_cast<DWORD>(path.size());
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
    const bool cracked = win::WinInet().InternetCrackUrlW(win::W(url), 0, 0, &parts) != 0;
    const bool http =
        cracked && (parts.nScheme == INTERNET_SCHEME_HTTP || parts.nScheme == INTERNET_SCHEME_HTTPS);
    if (!http) {
        // Other schemes keep the plain call; there is no request handle to put time-outs on.
        win::ScopedInternet whole(win::WinInet().InternetOpenUrlW(session.Get(), win::W(url), nullptr, 0,
                                                                  INTERNET_FLAG_NO_CACHE_WRITE, 0));
        if (!whole.Valid()) return nullptr;
        return std::make_unique<WinInetBody>(std::move(session), win::ScopedInternet(), std::move(whole),
                                             false, 0);
    }
    host.resize(parts.dwHostNameLength);
    const std::wstring object =
        path.substr(0, parts.dwUrlPathLength) + extra.substr(0, parts.dwExtraInfoLength);

    win::ScopedInternet connect(win::WinInet().InternetConnectW(
        session.Get(), host.c_str(), parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connect.Valid()) return nullptr;
    SetTimeouts(connect.Get());
    const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0;
    win::ScopedInternet request(
        win::WinInet().HttpOpenRequestW(connect.Get(), L"GET", object.empty() ? L"/" : object.c_str(),
                                        nullptr, nullptr, nullptr, INTERNET_FLAG_NO_CACHE_WRITE | secure, 0));
    if (!request.Valid()) return nullptr;
    SetTimeouts(request.Get());
    if (!win::WinInet().HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0)) {
        win::TraceError(L"HTTP request failed", GetLastError());
        return nullptr;
    }
    // A 404 page or a server error is no body of ours.
    DWORD status = 0, statusSize = sizeof status, statusIndex = 0;
    if (!win::WinInet().HttpQueryInfoW(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                                       &status, &statusSize, &statusIndex) ||
        status < 200 || status > 299) {
        win::TraceError((L"HTTP status " + std::to_wstring(status)).c_str(), 0);
        return nullptr;
    }
    DWORD length = 0, size = sizeof length, index = 0;
    const bool lengthKnown =
        win::WinInet().HttpQueryInfoW(request.Get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER,
                                      &length, &size, &index) != 0;
    return std::make_unique<WinInetBody>(std::move(session), std::move(connect), std::move(request),
                                         lengthKnown, length);
}
