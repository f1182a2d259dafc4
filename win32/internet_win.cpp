#include "win32/internet_win.h"
#include <windows.h>

#include <wininet.h>

#include <algorithm>
#include <string>

#include "win32/system_dlls.h"
#include "win32/win_util.h"

namespace {

HINTERNET H(NetHandle h) { return reinterpret_cast<HINTERNET>(h); }
NetHandle N(HINTERNET h) { return reinterpret_cast<NetHandle>(h); }

// InternetOpenUrl takes its time-outs from nowhere under Wine and waits forever on a silent server; the
// options hold only when set on the request handle itself.
void SetTimeouts(HINTERNET h) {
    DWORD connect = Win32Internet::kConnectTimeoutMs, receive = Win32Internet::kReceiveTimeoutMs;
    win::WinInet().InternetSetOptionW(h, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
    win::WinInet().InternetSetOptionW(h, INTERNET_OPTION_SEND_TIMEOUT, &receive, sizeof receive);
    win::WinInet().InternetSetOptionW(h, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof receive);
    win::WinInet().InternetSetOptionW(h, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, &receive, sizeof receive);
}

}  // namespace

NetHandle Win32Internet::Open(const Text& agent, uint32_t accessType, uint32_t flags) {
    if (!win::WinInet().loaded) return 0;
    HINTERNET root = win::WinInet().InternetOpenW(win::W(agent), accessType, nullptr, nullptr, flags);
    if (root) SetTimeouts(root);
    return N(root);
}

NetHandle Win32Internet::OpenUrl(NetHandle root, const Text& url, uint32_t flags) {
    if (!root) return 0;
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
        HINTERNET whole = win::WinInet().InternetOpenUrlW(H(root), win::W(url), nullptr, 0, flags, 0);
        if (whole) m_Requests[N(whole)] = {};
        return N(whole);
    }
    host.resize(parts.dwHostNameLength);
    const std::wstring object =
        path.substr(0, parts.dwUrlPathLength) + extra.substr(0, parts.dwExtraInfoLength);

    win::ScopedInternet connect(win::WinInet().InternetConnectW(H(root), host.c_str(), parts.nPort, nullptr,
                                                                nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connect.Valid()) return 0;
    SetTimeouts(connect.Get());
    const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0;
    win::ScopedInternet request(
        win::WinInet().HttpOpenRequestW(connect.Get(), L"GET", object.empty() ? L"/" : object.c_str(),
                                        nullptr, nullptr, nullptr, flags | secure, 0));
    if (!request.Valid()) return 0;
    SetTimeouts(request.Get());
    if (!win::WinInet().HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0)) {
        win::TraceError(L"HTTP request failed", GetLastError());
        return 0;
    }
    // A 404 page or a server error is no body of ours.
    DWORD status = 0, statusSize = sizeof status, statusIndex = 0;
    if (!win::WinInet().HttpQueryInfoW(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                                       &status, &statusSize, &statusIndex) ||
        status < 200 || status > 299) {
        win::TraceError((L"HTTP status " + std::to_wstring(status)).c_str(), 0);
        return 0;
    }
    Request r;
    DWORD length = 0, size = sizeof length, index = 0;
    r.lengthKnown =
        win::WinInet().HttpQueryInfoW(request.Get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER,
                                      &length, &size, &index) != 0;
    r.length = length;
    // Both handles live until Close, which the core calls for every handle it got.
    r.connect = connect.Release();
    const NetHandle handle = N(request.Release());
    m_Requests[handle] = r;
    return handle;
}

bool Win32Internet::Read(NetHandle h, void* buffer, uint32_t size, uint32_t& read) {
    // Only what has arrived is read: a site that sends a byte a second would otherwise hold one read until
    // the whole buffer is filled, past any deadline of the caller's.
    DWORD available = 0;
    if (!win::WinInet().InternetQueryDataAvailable(H(h), &available, 0, 0)) {
        read = 0;
        return false;
    }
    DWORD n = 0;
    bool ok = available == 0 ||
              win::WinInet().InternetReadFile(H(h), buffer, std::min<DWORD>(size, available), &n) != 0;
    read = ok ? n : 0;
    const auto it = m_Requests.find(h);
    if (ok && it != m_Requests.end()) {
        it->second.received += read;
        // The connection closed before the announced length: the body broke off.
        if (read == 0 && it->second.lengthKnown && it->second.received < it->second.length) ok = false;
    }
    return ok;
}

void Win32Internet::Close(NetHandle h) {
    if (!h) return;
    const auto it = m_Requests.find(h);
    HINTERNET connect = it == m_Requests.end() ? nullptr : static_cast<HINTERNET>(it->second.connect);
    if (it != m_Requests.end()) m_Requests.erase(it);
    win::WinInet().InternetCloseHandle(H(h));
    if (connect) win::WinInet().InternetCloseHandle(connect);
}
