// The window placement kept in the settings between runs, as "left,top,width,height" in twips, and whether
// the status bar is shown.
#pragma once
#include "app/program.h"

namespace app {

// Window coordinates are 16-bit in the system's own messages: 32767 pixels at 96 dpi, in twips.
constexpr double kMaxPlacementTwips = 32767.0 * 15;
// Whether the status bar is shown: "1" or "0", kept beside the placement.
constexpr char16_t kStatusBarSetting[] = u"statusbar";

// A number as text the way a single-precision value prints: up to 7 significant digits, "." for fractions.
Text SingleText(double value);
// Parses a number written by SingleText (blanks around it allowed); false when it is not a number.
bool ParseNumber(const Text& text, double& value);

}  // namespace app
