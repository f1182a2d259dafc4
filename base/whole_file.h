// Reading and writing a file in one piece, over the Files port. A write never destroys the previous file:
// the new bytes go to a flushed temporary file in the same folder, named after the target, which then takes
// the target's name in one rename. A write that completed sends to the Recycle Bin what earlier saves there
// left behind, but never a file that may be the only copy of a document.
#pragma once
#include "platform/ports.h"

namespace base {

// False when the file is missing, unreadable or too large for memory; content is then empty.
bool ReadWholeBytes(Files& files, const Text& path, Bytes& content);
// True only when the target holds exactly these bytes; on failure the target is as it was, unless the file
// system lost it half-way: the new bytes are then kept in a temporary file, whose path goes to kept.
bool WriteWholeBytes(Files& files, const Text& path, const Bytes& content, Text* kept = nullptr);
// The same with the bytes handed over in pieces by produce (see Files::WriteFlushedFrom); nothing is placed
// when produce fails.
bool WriteWholeBytesFrom(Files& files, const Text& path,
                         const std::function<bool(const Files::PutBytes&)>& produce, Text* kept = nullptr);

// The two halves of WriteWholeBytesFrom, so that the bytes may be written elsewhere than where they are
// placed: the temp beside path, holding what produce put and flushed (empty, and nothing left, when it could
// not be made or written); then the temp in path's place, as above.
Text WriteTempFor(Files& files, const Text& path, const std::function<bool(const Files::PutBytes&)>& produce);
bool PlaceTemp(Files& files, const Text& path, const Text& temp, Text* kept = nullptr);

// The same through the code page. An empty text means missing, empty or unreadable.
Text ReadWholeFile(Files& files, const Text& path);
bool WriteWholeFile(Files& files, const Text& path, const Text& content);

}  // namespace base
