// The composition root: the one main window made over the platform it is handed, and the reset of a
// process's state that the tests start many times.
#include "app/editor.h"
#include "app/program.h"

namespace app {

std::unique_ptr<Editor> g_Editor;

void ResetGlobals() {
    g_Editor.reset();
    for (Text* t :
         {&g_AppName, &g_AppVersion, &g_AppDate, &g_SiteUrl, &g_AppFolder, &g_AppCode, &g_MachineKey})
        t->clear();
}

void Main(Platform& platform, EditorHost& host, FindReplaceHost* repHost) {
    g_AppName = kProductName;
    g_AppVersion = u"1.0";
    g_AppDate = u"1 Sep 2013";
    platform.locale.SetShortDateFormat(u"dd/MM/yy");
    g_SiteUrl = kSiteUrl;
    InitFolders(platform.process);
    if (!g_Editor) {
        g_Editor = std::make_unique<Editor>(platform, host, repHost);
        g_Editor->Load();
    }
}

}  // namespace app
