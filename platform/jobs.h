// Work that must not hold the window: a job runs elsewhere with an HTTP client of its own, and its completion
// then runs on the window's thread. Jobs run one at a time, in the order they were posted.
#pragma once
#include <functional>

#include "platform/ports.h"

struct Jobs {
    virtual ~Jobs() = default;
    // job runs on the jobs' thread and may touch nothing but its own captures and the HTTP client it is
    // handed; completion runs afterwards on the window's thread, or never when the window is gone.
    virtual void Post(std::function<void(Http&)> job, std::function<void()> completion) = 0;
};
