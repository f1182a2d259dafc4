// Taking a file path apart, by its text alone (the file system is never touched).
#pragma once
#include "platform/ports.h"

namespace d1 {
Text GetFileNamePart(const Text& path);  // after the last "\"
Text StripExtension(const Text& path);   // without the last "." and what follows it
Text GetExtension(const Text& path);     // after the last ".", A-Z lowered
}  // namespace d1
