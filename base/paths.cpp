#include "base/paths.h"

#include "base/text.h"

namespace d1 {

Text GetFileNamePart(const Text& path) {
    const auto slash = path.rfind(u'\\');
    return slash == Text::npos ? path : path.substr(slash + 1);
}

Text StripExtension(const Text& path) {
    const auto dot = path.rfind(u'.');
    return dot == Text::npos ? path : path.substr(0, dot);
}

Text GetExtension(const Text& path) {
    const auto dot = path.rfind(u'.');
    return dot == Text::npos ? Text() : LowerAscii(path.substr(dot + 1));
}

}  // namespace d1
