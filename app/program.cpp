#include "app/program.h"

namespace app {

Text ProgramFolder(const Process& process) {
    Text folder = process.ExeFolder();
    return EnsureTrailing(folder, u"\\");
}

Text EnsureTrailing(Text& text, const Text& suffix) {
    if (text.empty() || text.back() != suffix.front()) text += suffix;
    return text;
}

Text CommandLineDocument(const Text& commandLine) {
    const size_t n = commandLine.size();
    if (n >= 2 && commandLine.front() == u'"' && commandLine.back() == u'"' &&
        commandLine.find(u'"', 1) == n - 1)
        return commandLine.substr(1, n - 2);
    return commandLine;
}

}  // namespace app
