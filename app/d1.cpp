#include "app/d1.h"

namespace d1 {

void InitFolders(const Process& process) {
    Text folder = process.ExeFolder();
    g_AppFolder = EnsureTrailing(folder, u"\\");
}

Text EnsureTrailing(Text& text, const Text& suffix) {
    if (text.empty() || text.back() != suffix.front()) text += suffix;
    return text;
}

}  // namespace d1
