// Taking a file path apart, by its text alone (the file system is never touched).
#pragma once
#include "platform/ports.h"

namespace base {
// A path's parts split at its last "\" or "/"; the extension comes from the file name alone.
Text GetFileNamePart(const Text& path);  // after the last "\" or "/"
Text StripExtension(const Text& path);   // without the file name's last "." and what follows it
Text GetExtension(const Text& path);     // after the file name's last ".", A-Z lowered
}  // namespace base
