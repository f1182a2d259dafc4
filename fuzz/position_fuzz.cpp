// Whatever the registry holds as "position", the start-up placement either leaves the window where it was or
// moves it to four finite numbers of non-negative size that show it on a screen.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/registry_settings.h"
#include "fakes/fake_platform.h"

namespace {

bool Overlaps(const Rect& r, const Rect& a) {
    return r.left < a.left + a.width && a.left < r.left + r.width && r.top < a.top + a.height &&
           a.top < r.top + r.height;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Started* s = new Started;  // one start; every input is a later read of the stored value
    FakeWindow& w = s->host.window;
    const Rect initial{-1, -1, -1, -1};  // no stored value could move the window here
    w.rect = w.normal = initial;
    // A string of any content, NULs included, as another program may have stored it.
    Text stored(size / 2, u'\0');
    std::memcpy(stored.data(), data, stored.size() * 2);
    s->fp.settings.Put(SettingsRoot::LocalMachine, app::kSettingsKey, u"position", stored);
    s->editor().RestorePlacement();
    const Rect r = w.rect;
    if (r.left == initial.left && r.top == initial.top && r.width == initial.width) return 0;
    for (const double v : {r.left, r.top, r.width, r.height})
        if (!std::isfinite(v) || std::fabs(v) > 3.5e38) std::abort();
    if (r.width < 0 || r.height < 0) std::abort();
    bool shown = false;
    for (const Rect& a : w.workAreas) shown = shown || Overlaps(r, a) || r.width == 0 || r.height == 0;
    if (!shown) std::abort();
    return 0;
}
