// The clock adapter against the real (Wine) kernel and input queue: the idle time that locks a secret
// document follows the user's input.
#include <windows.h>

#include <gtest/gtest.h>

#include "win32/clock_win.h"

TEST(Clock, TheTimeSinceInputStartsAgainAtAKeyOrAMouseMoveAndGrowsWithoutOne) {
    Win32Clock clock;
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = 1;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    ASSERT_EQ(SendInput(1, &move, sizeof move), 1u);
    const int64_t right = clock.MillisecondsSinceInput();
    EXPECT_GE(right, 0);
    EXPECT_LT(right, 1000);
    Sleep(600);
    const int64_t later = clock.MillisecondsSinceInput();
    EXPECT_GE(later, right + 500);
    EXPECT_LT(later, 60'000);
    // A monotonic clock that moves with it.
    const int64_t before = clock.MonotonicMilliseconds();
    Sleep(100);
    EXPECT_GE(clock.MonotonicMilliseconds() - before, 90);
}
