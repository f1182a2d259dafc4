// The composition root: the one main window made over the platform it is handed.
#include "app/editor.h"
#include "app/program.h"

namespace app {

std::unique_ptr<Editor> Main(Platform& platform, EditorHost& host, FindReplaceHost* findHost) {
    platform.locale.SetShortDateFormat(u"dd/MM/yy");
    auto editor = std::make_unique<Editor>(platform, host, findHost);
    editor->Load();
    return editor;
}

}  // namespace app
