// The locale adapter's case-insensitive search against the platform's own comparison.
#include <windows.h>

#include <gtest/gtest.h>

#include "win32/locale_win.h"

TEST(LocaleFind, IgnoresCaseBeyondAsciiAndReportsOffsetsFromTheTextStart) {
    const Win32Locale locale;
    EXPECT_EQ(locale.FindIgnoreCase(u"Apple apple", 0, u"apple"), 0);
    EXPECT_EQ(locale.FindIgnoreCase(u"Apple apple", 1, u"APPLE"), 6);
    EXPECT_EQ(locale.FindIgnoreCase(u"Apple apple", 7, u"apple"), -1);
    EXPECT_EQ(locale.FindIgnoreCase(u"Apple apple", 11, u"apple"), -1);
    EXPECT_EQ(locale.FindIgnoreCase(u"Apple apple", 12, u"apple"), -1);  // start past the end
    EXPECT_EQ(locale.FindIgnoreCase(u"abc", 0, u""), -1);
    EXPECT_EQ(locale.FindIgnoreCase(u"CAF\u00c9 caf\u00e9", 1, u"caf\u00e9"), 5);
    EXPECT_EQ(locale.FindIgnoreCase(u"x \u0e44\u0e17\u0e22 y", 0, u"\u0e44\u0e17\u0e22"), 2);
    EXPECT_EQ(locale.FindIgnoreCase(u"ab", 0, u"abc"), -1);
}

TEST(LocaleFind, SearchesLargeTextsInLinearTime) {
    const Win32Locale locale;
    Text text(4'000'000, u'x');
    text += u"NeedLE";
    const DWORD t0 = GetTickCount();
    EXPECT_EQ(locale.FindIgnoreCase(text, 100, u"needle"), 4'000'000);
    EXPECT_EQ(locale.FindIgnoreCase(text, 100, u"needles"), -1);
    EXPECT_LT(GetTickCount() - t0, 3000u);  // a search that is quadratic in the text takes hours here
}
