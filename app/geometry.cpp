#include "app/geometry.h"

#include <algorithm>
#include <cmath>

namespace app {

Rect OntoNearestScreen(Rect r, const std::vector<Rect>& workAreas) {
    auto gap = [&](const Rect& a) {  // distance between r and a, 0 when they overlap
        const double dx = std::max({0.0, a.left - (r.left + r.width), r.left - (a.left + a.width)});
        const double dy = std::max({0.0, a.top - (r.top + r.height), r.top - (a.top + a.height)});
        return std::hypot(dx, dy);
    };
    auto overlaps = [&](const Rect& a) {
        return r.left < a.left + a.width && a.left < r.left + r.width && r.top < a.top + a.height &&
               a.top < r.top + r.height;
    };
    if (workAreas.empty() || std::any_of(workAreas.begin(), workAreas.end(), overlaps)) return r;
    const Rect a = *std::min_element(workAreas.begin(), workAreas.end(),
                                     [&](const Rect& x, const Rect& y) { return gap(x) < gap(y); });
    r.width = std::min(r.width, a.width);
    r.height = std::min(r.height, a.height);
    r.left = std::clamp(r.left, a.left, a.left + a.width - r.width);
    r.top = std::clamp(r.top, a.top, a.top + a.height - r.height);
    return r;
}

}  // namespace app
