// The app module: the product's constants, the program's folder, the command line's document and start-up.
#pragma once
#include <memory>

#include "base/encoding.h"
#include "platform/hosts.h"
#include "platform/platform.h"
#include "platform/product.h"

class Editor;

// The program's shared module.
namespace app {

// The product as its caption, About box and statistics name it.
constexpr const char16_t* kAppName = kProductName;
constexpr char16_t kAppVersion[] = u"1.0";
constexpr char16_t kAppDate[] = u"1 Sep 2013";
constexpr char16_t kAppCode[] = u"LOK";  // the site's name for this program in its statistics
constexpr char16_t kSiteUrl[] = LOCKLEAF_SITE_URL;
static_assert(kSiteUrl[sizeof(kSiteUrl) / sizeof(char16_t) - 2] == u'/',
              "the site's paths are appended to it");
// The largest file the editor opens. A document is held several times over while it is opened, edited and
// saved (bytes, text, the box's copy, a save's copy), in single blocks of the 32-bit address space; a file
// beyond this is refused before a byte of it is read.
constexpr int64_t kLargestDocument = int64_t{256} << 20;
// The command lines of our own starts: Windows restarting us after a crash or an update, and an editor
// window of its own for a second snapshot the user restores (its id follows).
constexpr char16_t kRestartArgument[] = u"/restarted";
constexpr char16_t kRestoreArgument[] = u"/restore:";

// Makes, loads and shows the one main window, which lives until the caller lets it go. findHost: the
// Find/Replace window's toolkit, handed to the main window.
std::unique_ptr<Editor> Main(Platform& platform, EditorHost& host, FindReplaceHost* findHost);
// The folder of the program's file, with one trailing backslash.
Text ProgramFolder(const Process& process);
Text EnsureTrailing(Text& text, const Text& suffix);
// The document named by the command-line text: verbatim, except that one path wrapped whole in a single
// pair of double quotes (what the shell passes for "Open with") loses that pair.
Text CommandLineDocument(const Text& commandLine);

}  // namespace app
