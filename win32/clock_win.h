// The local wall clock.
#pragma once
#include "platform/ports.h"

struct Win32Clock : Clock {
    int64_t NowLocalSeconds() const override;
};
