// The shared module: application globals, the document state and start-up.
// Everything that the windows share lives here, as the program's own globals.
#pragma once
#include <memory>

#include "base/encoding.h"
#include "platform/hosts.h"
#include "platform/platform.h"
#include "platform/product.h"

class Editor;

// The program's shared module.
namespace app {

// Application globals, set during start-up.
inline Text g_AppName;
inline Text g_AppVersion;
inline Text g_AppDate;
inline Text g_SiteUrl;
inline Text g_AppFolder;
inline Text g_AppCode;
inline Text g_MachineKey;

// The one main window.
extern std::unique_ptr<Editor> g_Editor;

constexpr char16_t kSiteUrl[] = LOCKLEAF_SITE_URL;
// The largest file the editor opens. A document is held several times over while it is opened, edited and
// saved (bytes, text, the box's copy, a save's copy), in single blocks of the 32-bit address space; a file
// beyond this is refused before a byte of it is read.
constexpr int64_t kLargestDocument = int64_t{256} << 20;
// The command lines of our own starts: Windows restarting us after a crash or an update, and an editor
// window of its own for a second snapshot the user restores (its id follows).
constexpr char16_t kRestartArgument[] = u"/restarted";
constexpr char16_t kRestoreArgument[] = u"/restore:";

// Back to the state of a process that has just started (tests start many "processes").
void ResetGlobals();

// repHost: the Find/Replace window's toolkit, handed to the main window.
void Main(Platform& platform, EditorHost& host, FindReplaceHost* repHost);
void InitFolders(const Process& process);
Text EnsureTrailing(Text& text, const Text& suffix);
// The document named by the command-line text: verbatim, except that one path wrapped whole in a single
// pair of double quotes (what the shell passes for "Open with") loses that pair.
Text CommandLineDocument(const Text& commandLine);

}  // namespace app
