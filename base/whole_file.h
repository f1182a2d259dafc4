// Reading and writing a file in one piece, over the Files port. A write never destroys the previous file:
// the new bytes go to a flushed temporary file in the same folder, which then replaces the target. A write
// that completed removes the temporary files that earlier saves there left behind.
#pragma once
#include "platform/ports.h"

namespace base {

// False when the file is missing, unreadable or too large for memory; content is then empty.
bool ReadWholeBytes(Files& files, const Text& path, Bytes& content);
// True only when the target holds exactly these bytes; on failure the target is as it was.
bool WriteWholeBytes(Files& files, const Text& path, const Bytes& content);

// The same through the code page. An empty text means missing, empty or unreadable.
Text ReadWholeFile(Files& files, const Text& path);
bool WriteWholeFile(Files& files, const Text& path, const Text& content);

}  // namespace base
