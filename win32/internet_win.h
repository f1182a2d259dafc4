// HTTP GET through WinINet, with connect and receive time-outs that hold even against a silent server.
// Each GET has a session and a connection of its own, which its body closes; a body that ends before its
// Content-Length is a failed read. Handles are used only on the thread that opened them.
#pragma once
#include "platform/ports.h"

struct Win32Http : Http {
    static constexpr unsigned long kConnectTimeoutMs = 3000;
    static constexpr unsigned long kReceiveTimeoutMs = 3000;

    std::unique_ptr<HttpBody> Get(const Text& url, const Text& agent) override;
};
