// The shell's file-type entries that make this program open and show its icon for a document extension.
// Written at every start; a user who cannot write the machine-wide classes gets them per user.
#pragma once
#include "app/program.h"

namespace app {

// An empty verb means "Open"; an empty icon writes no DefaultIcon key.
void RegisterFileType(Settings& settings, const Text& description, const Text& command, const Text& extension,
                      const Text& verb, const Text& icon);

}  // namespace app
