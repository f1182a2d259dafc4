// The composition root: the one main window made over the platform it is handed, and the reset of a
// process's state that the tests start many times.
#include "app/d1.h"
#include "app/fou.h"

namespace d1 {

std::unique_ptr<Fou> g_Fou;

void ResetGlobals() {
    g_Fou.reset();
    for (Text* t :
         {&g_AppName, &g_AppVersion, &g_AppDate, &g_SiteUrl, &g_AppFolder, &g_AppCode, &g_MachineKey})
        t->clear();
}

void Main(Platform& platform, FouHost& host, RepHost* repHost) {
    g_AppName = kProductName;
    g_AppVersion = u"1.0";
    g_AppDate = u"1 Sep 2013";
    platform.locale.SetShortDateFormat(u"dd/MM/yy");
    g_SiteUrl = kSiteUrl;
    InitFolders(platform.process);
    if (!g_Fou) {
        g_Fou = std::make_unique<Fou>(platform, host, repHost);
        g_Fou->Load();
    }
}

}  // namespace d1
