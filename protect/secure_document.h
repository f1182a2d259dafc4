// Moving the document between the current file and the editor: plain text, or a protected (txs) document
// masked under the password. The Fou methods themselves are declared with the window (app/fou.h).
#pragma once
#include "platform/ports.h"

namespace d1 {

constexpr char16_t kPasswordPrompt[] = u"Please enter PASSWORD !";
constexpr char16_t kNotSavedMessage[] = u"Your file has NOT been saved.";
constexpr char16_t kNotOpenedMessage[] = u"Your file has NOT been opened.";

// The text box cannot hold U+0000, so a document's NUL bytes are shown as the symbol for NUL and written back
// as NUL bytes: nothing of the file is lost, and the user sees where they are.
constexpr char16_t kNulSymbol = u'\u2400';
void ShowNuls(Text& text);
void RestoreNuls(Text& text);

// A document is protected by its name alone: the extension "txs", in any case.
bool IsProtectedName(const Text& path);

// The document named by the command-line text: verbatim, except that one path wrapped whole in a single
// pair of double quotes (what the shell passes for "Open with") loses that pair.
Text CommandLineDocument(const Text& commandLine);

}  // namespace d1
