// Registry string primitives, the settings key with its per-user fallback, and the window placement.
// Placement text is "left,top,width,height" in twips.
#include "app/settings.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/fou.h"
#include "base/text.h"

namespace d1 {

namespace {

constexpr uint32_t kReadChars = 400;

}  // namespace

bool RegWriteString(Registry& registry, RegRoot root, const Text& keyPath, const Text& name,
                    const Text& value) {
    RegKey key = 0;
    if (registry.CreateKey(root, keyPath, key) != kRegOk || key == 0) return false;
    const bool ok = registry.SetString(key, name, value) == kRegOk;
    registry.CloseKey(key);
    return ok;
}

Text RegReadString(Registry& registry, RegRoot root, const Text& keyPath, const Text& name) {
    Text buffer(kReadChars, u' ');
    uint32_t size = kReadChars * sizeof(char16_t);
    RegKey key = 0;
    if (registry.OpenKey(root, keyPath, key) != kRegOk || key == 0) return {};
    const long r = registry.QueryValue(key, name, buffer.data(), size);
    registry.CloseKey(key);
    if (r != kRegOk) return {};
    const auto nul = buffer.find(u'\0');
    if (nul != Text::npos) buffer.resize(nul);
    return base::Trim(buffer);
}

// A user without rights below HKLM keeps the value per user. Reading prefers the per-user copy, since
// it is only ever written when the machine-wide one could not be; a later machine-wide write clears it,
// so neither copy can go stale behind the other.
void WriteSetting(Registry& registry, const Text& name, const Text& value) {
    if (!RegWriteString(registry, RegRoot::LocalMachine, kSettingsKey, name, value)) {
        RegWriteString(registry, RegRoot::CurrentUser, kSettingsKey, name, value);
        return;
    }
    if (!RegReadString(registry, RegRoot::CurrentUser, kSettingsKey, name).empty())
        RegWriteString(registry, RegRoot::CurrentUser, kSettingsKey, name, u"");
}

Text ReadSetting(Registry& registry, const Text& name) {
    Text user = RegReadString(registry, RegRoot::CurrentUser, kSettingsKey, name);
    if (!user.empty()) return user;
    return RegReadString(registry, RegRoot::LocalMachine, kSettingsKey, name);
}

Text SingleText(double value) {
    const float f = static_cast<float>(value);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.7G", static_cast<double>(f));
    std::string s = buf;
    // The exponent form prints two digits at least: 1.234568E+07, not E+007.
    const auto e = s.find('E');
    if (e != std::string::npos && s.size() > e + 4 && s[e + 2] == '0') s.erase(e + 2, 1);
    if (s == "-0") s = "0";
    return Text(s.begin(), s.end());
}

bool ParseNumber(const Text& text, double& value) {
    const Text t = base::Trim(text);
    if (t.empty()) return false;
    std::string s;
    for (char16_t ch : t) {
        const bool allowed =
            (ch >= u'0' && ch <= u'9') || ch == u'.' || ch == u'-' || ch == u'+' || ch == u'E' || ch == u'e';
        if (!allowed) return false;
        s.push_back(static_cast<char>(ch));
    }
    char* end = nullptr;
    const double parsed = std::strtod(s.c_str(), &end);
    // Beyond the single-precision range is an overflow, not a number.
    if (end != s.c_str() + s.size() || !(std::fabs(parsed) <= FLT_MAX)) return false;
    value = static_cast<float>(parsed);
    return true;
}

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

}  // namespace d1

void Fou::SaveAll() {
    // The restored rectangle, so that a window closed minimized or maximized comes back usable.
    const Rect r = m_Controls.window->NormalPlacement();
    d1::WriteSetting(m_Platform.registry, u"position",
                     d1::SingleText(r.left) + u"," + d1::SingleText(r.top) + u"," + d1::SingleText(r.width) +
                         u"," + d1::SingleText(r.height));
}

void Fou::RestorePlacement() {
    const auto parts = base::SplitText(d1::ReadSetting(m_Platform.registry, u"position"), u",");
    if (parts.size() != 4) return;
    double n[4];
    for (int i = 0; i < 4; ++i)
        if (!d1::ParseNumber(parts[i], n[i])) return;
    // A negative size is as invalid as a non-number, and so is anything beyond the coordinates a window can
    // have on any screen: the window keeps its initial placement.
    if (n[2] < 0 || n[3] < 0) return;
    for (double v : n)
        if (std::fabs(v) > d1::kMaxPlacementTwips) return;
    // Screens change between runs; a placement left on a screen that is gone is brought back onto one.
    m_Controls.window->Move(d1::OntoNearestScreen({n[0], n[1], n[2], n[3]}, m_Controls.window->WorkAreas()));
}
