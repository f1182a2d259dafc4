#include "app/paths.h"

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

Text LowerAscii(Text text) {
    for (auto& c : text)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
    return text;
}

Text UpperAscii(Text text) {
    for (auto& c : text)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - (u'a' - u'A'));
    return text;
}

}  // namespace d1
