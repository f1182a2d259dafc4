// The settings store: string values in the registry, and the window placement kept there between runs.
// The machine-wide key first; a user without the right to write it keeps the same value per user.
#pragma once
#include "app/d1.h"

namespace d1 {

constexpr char16_t kSettingsKey[] = u"SOFTWARE\\tarvik";
// Window coordinates are 16-bit in the system's own messages: 32767 pixels at 96 dpi, in twips.
constexpr double kMaxPlacementTwips = 32767.0 * 15;

// True when the key was created or opened and the value written.
bool RegWriteString(Registry& registry, RegRoot root, const Text& keyPath, const Text& name,
                    const Text& value);
// Empty when the key or value is missing or the value does not fit 399 characters.
Text RegReadString(Registry& registry, RegRoot root, const Text& keyPath, const Text& name);

void WriteSetting(Registry& registry, const Text& name, const Text& value);
Text ReadSetting(Registry& registry, const Text& name);

// A number as text the way a single-precision value prints: up to 7 significant digits, "." for fractions.
Text SingleText(double value);
// Parses a number written by SingleText (blanks around it allowed); false when it is not a number.
bool ParseNumber(const Text& text, double& value);
// r unchanged when it overlaps a work area; else fitted into the nearest one (shrunk if larger).
Rect OntoNearestScreen(Rect r, const std::vector<Rect>& workAreas);

}  // namespace d1
