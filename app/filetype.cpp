// File-type registration: extension key, the verb's command and the default icon.
// HKCR refuses writes for a normal user; HKCU\Software\Classes is what the shell merges over it.
#include "app/filetype.h"

#include <utility>
#include <vector>

namespace app {

void RegisterFileType(Settings& settings, const Text& description, const Text& command, const Text& extension,
                      const Text& verb, const Text& icon) {
    std::vector<std::pair<Text, Text>> entries{
        {u"." + extension, description},
        {description + u"\\Shell\\" + (verb.empty() ? Text(u"Open") : verb) + u"\\Command", command}};
    if (!icon.empty()) entries.push_back({description + u"\\DefaultIcon", icon});
    for (const auto& [key, value] : entries)
        if (!settings.Write(SettingsRoot::ClassesRoot, key, u"", value))
            settings.Write(SettingsRoot::CurrentUser, u"Software\\Classes\\" + key, u"", value);
}

}  // namespace app
