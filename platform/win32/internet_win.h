// HTTP GET through WinINet.
#pragma once
#include "platform/ports.h"

struct Win32Internet : Internet {
    NetHandle Open(const Text& agent, uint32_t accessType, uint32_t flags) override;
    NetHandle OpenUrl(NetHandle root, const Text& url, uint32_t flags) override;
    bool Read(NetHandle h, void* buffer, uint32_t size, uint32_t& read) override;
    void Close(NetHandle h) override;
};
