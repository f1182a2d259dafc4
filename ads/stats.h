// The advertising strip's refresh schedule and the statistics request's encoding; the strip itself is AdStrip
// (ads/ad_strip.h).
#pragma once
#include "platform/ports.h"

namespace ads {

constexpr int64_t kFirstRefreshDelay = 1;                      // s after the first tick
constexpr int64_t kRefreshPeriod = int64_t{3} * 24 * 60 * 60;  // s
constexpr int64_t kRefreshBudget = 10;  // s of image fetches one refresh may start within
// s: each request ends within its deadline and time-outs, so a refresh still under way by then has lost a
// completion (no network thread, no message) and is given up, or the strip would never refresh again.
constexpr int64_t kRefreshDeadline = 120;

// Percent-encodes (as UTF-8) everything but letters, digits and "-._~".
Text PercentEncode(const Text& text);

}  // namespace ads
