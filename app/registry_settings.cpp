#include "app/registry_settings.h"

#include "base/text.h"

namespace app {

Text ReadTrimmed(const Settings& settings, SettingsRoot root, const Text& key, const Text& name) {
    return base::Trim(settings.Read(root, key, name, kLongestSetting).value_or(Text()));
}

// A user without rights below HKLM keeps the value per user. Reading prefers the per-user copy, since
// it is only ever written when the machine-wide one could not be; a later machine-wide write clears it,
// so neither copy can go stale behind the other.
void WriteSetting(Settings& settings, const Text& name, const Text& value) {
    if (!settings.Write(SettingsRoot::LocalMachine, kSettingsKey, name, value)) {
        settings.Write(SettingsRoot::CurrentUser, kSettingsKey, name, value);
        return;
    }
    if (!ReadTrimmed(settings, SettingsRoot::CurrentUser, kSettingsKey, name).empty())
        settings.Write(SettingsRoot::CurrentUser, kSettingsKey, name, u"");
}

Text ReadSetting(const Settings& settings, const Text& name) {
    Text user = ReadTrimmed(settings, SettingsRoot::CurrentUser, kSettingsKey, name);
    if (!user.empty()) return user;
    return ReadTrimmed(settings, SettingsRoot::LocalMachine, kSettingsKey, name);
}

}  // namespace app
