// The program's settings: named strings, kept machine-wide where the user may write there, per user
// otherwise.
#pragma once
#include "app/program.h"

namespace app {

constexpr char16_t kSettingsKey[] = u"SOFTWARE\\tarvik";
// A stored value longer than this is not read (it is no value of ours).
constexpr size_t kLongestSetting = 399;

// The value trimmed of blanks; empty when the key or value is missing or too long to be ours.
Text ReadTrimmed(const Settings& settings, SettingsRoot root, const Text& key, const Text& name);

void WriteSetting(Settings& settings, const Text& name, const Text& value);
Text ReadSetting(const Settings& settings, const Text& name);

}  // namespace app
