#include "base/paths.h"

#include "base/text.h"

namespace base {

namespace {

// The last "." of the file name itself: a dot in a folder's name ("C:\v1.2\README") is no extension.
size_t ExtensionDot(const Text& path) {
    const auto dot = path.rfind(u'.');
    const auto slash = path.find_last_of(u"\\/");
    return dot != Text::npos && (slash == Text::npos || dot > slash) ? dot : Text::npos;
}

}  // namespace

Text GetFileNamePart(const Text& path) {
    const auto slash = path.find_last_of(u"\\/");
    return slash == Text::npos ? path : path.substr(slash + 1);
}

Text StripExtension(const Text& path) {
    const auto dot = ExtensionDot(path);
    return dot == Text::npos ? path : path.substr(0, dot);
}

Text GetExtension(const Text& path) {
    const auto dot = ExtensionDot(path);
    return dot == Text::npos ? Text() : LowerAscii(path.substr(dot + 1));
}

}  // namespace base
