// The local wall clock, and the tick count for deadlines.
#pragma once
#include "platform/ports.h"

struct Win32Clock : Clock {
    int64_t NowLocalSeconds() const override;
    int64_t MonotonicMilliseconds() const override;   // GetTickCount64
    int64_t MillisecondsSinceInput() const override;  // GetLastInputInfo
};
