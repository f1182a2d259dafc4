// The registry through the W functions; RegKey carries the HKEY.
#pragma once
#include "platform/ports.h"

struct Win32Registry : Registry {
    long CreateKey(RegRoot root, const Text& path, RegKey& key) override;
    long OpenKey(RegRoot root, const Text& path, RegKey& key) override;
    long SetString(RegKey key, const Text& name, const Text& value) override;
    long QueryValue(RegKey key, const Text& name, void* buffer, uint32_t& size) override;
    long CloseKey(RegKey key) override;
};
