// The settings store: string values in the registry. The machine-wide key first; a user without the right
// to write it keeps the same value per user.
#pragma once
#include "app/d1.h"

namespace d1 {

constexpr char16_t kSettingsKey[] = u"SOFTWARE\\tarvik";

// True when the key was created or opened and the value written.
bool RegWriteString(Registry& registry, RegRoot root, const Text& keyPath, const Text& name,
                    const Text& value);
// Empty when the key or value is missing or the value does not fit 399 characters.
Text RegReadString(Registry& registry, RegRoot root, const Text& keyPath, const Text& name);

void WriteSetting(Registry& registry, const Text& name, const Text& value);
Text ReadSetting(Registry& registry, const Text& name);

}  // namespace d1
