#include "app/registry_settings.h"

#include "base/text.h"

namespace d1 {

namespace {

constexpr uint32_t kReadChars = 400;

}  // namespace

bool RegWriteString(Registry& registry, RegRoot root, const Text& keyPath, const Text& name,
                    const Text& value) {
    RegKey key = 0;
    if (registry.CreateKey(root, keyPath, key) != kRegOk || key == 0) return false;
    const bool ok = registry.SetString(key, name, value) == kRegOk;
    registry.CloseKey(key);
    return ok;
}

Text RegReadString(Registry& registry, RegRoot root, const Text& keyPath, const Text& name) {
    Text buffer(kReadChars, u' ');
    uint32_t size = kReadChars * sizeof(char16_t);
    RegKey key = 0;
    if (registry.OpenKey(root, keyPath, key) != kRegOk || key == 0) return {};
    const long r = registry.QueryValue(key, name, buffer.data(), size);
    registry.CloseKey(key);
    if (r != kRegOk) return {};
    const auto nul = buffer.find(u'\0');
    if (nul != Text::npos) buffer.resize(nul);
    return base::Trim(buffer);
}

// A user without rights below HKLM keeps the value per user. Reading prefers the per-user copy, since
// it is only ever written when the machine-wide one could not be; a later machine-wide write clears it,
// so neither copy can go stale behind the other.
void WriteSetting(Registry& registry, const Text& name, const Text& value) {
    if (!RegWriteString(registry, RegRoot::LocalMachine, kSettingsKey, name, value)) {
        RegWriteString(registry, RegRoot::CurrentUser, kSettingsKey, name, value);
        return;
    }
    if (!RegReadString(registry, RegRoot::CurrentUser, kSettingsKey, name).empty())
        RegWriteString(registry, RegRoot::CurrentUser, kSettingsKey, name, u"");
}

Text ReadSetting(Registry& registry, const Text& name) {
    Text user = RegReadString(registry, RegRoot::CurrentUser, kSettingsKey, name);
    if (!user.empty()) return user;
    return RegReadString(registry, RegRoot::LocalMachine, kSettingsKey, name);
}

}  // namespace d1
