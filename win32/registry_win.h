// The settings store in the registry, through the W functions.
#pragma once
#include "platform/ports.h"

struct Win32Settings : Settings {
    std::optional<Text> Read(SettingsRoot root, const Text& key, const Text& name,
                             size_t maxChars) const override;
    bool Write(SettingsRoot root, const Text& key, const Text& name, const Text& value) override;
};
