// HTTP GET through WinINet, with connect and receive time-outs that hold even against a silent server.
// A URL handle is a request on its own connection; a body that ends before its Content-Length is a failed
// read.
#pragma once
#include <map>

#include "platform/ports.h"

struct Win32Internet : Internet {
    static constexpr unsigned long kConnectTimeoutMs = 3000;
    static constexpr unsigned long kReceiveTimeoutMs = 3000;

    NetHandle Open(const Text& agent, uint32_t accessType, uint32_t flags) override;
    NetHandle OpenUrl(NetHandle root, const Text& url, uint32_t flags) override;
    bool Read(NetHandle h, void* buffer, uint32_t size, uint32_t& read) override;
    void Close(NetHandle h) override;

private:
    struct Request {
        void* connect = nullptr;  // HINTERNET; null when the URL was opened whole (not http or https)
        bool lengthKnown = false;
        uint64_t length = 0, received = 0;
    };
    std::map<NetHandle, Request> m_Requests;
};
