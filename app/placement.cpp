#include "app/placement.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/editor.h"
#include "app/geometry.h"
#include "app/registry_settings.h"
#include "base/text.h"

namespace app {

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

}  // namespace app

void Editor::SaveAll() {
    // The restored rectangle, so that a window closed minimized or maximized comes back usable.
    const Rect r = m_Controls.window->NormalPlacement();
    app::WriteSetting(m_Platform.settings, u"position",
                      app::SingleText(r.left) + u"," + app::SingleText(r.top) + u"," +
                          app::SingleText(r.width) + u"," + app::SingleText(r.height));
    app::WriteSetting(m_Platform.settings, app::kStatusBarSetting, m_StatusBarOn ? u"1" : u"0");
}

void Editor::RestorePlacement() {
    // On unless it was turned off: a first start, or a value of another kind, shows it.
    ShowStatusBar(app::ReadSetting(m_Platform.settings, app::kStatusBarSetting) != u"0");
    const auto parts = base::SplitText(app::ReadSetting(m_Platform.settings, u"position"), u",");
    if (parts.size() != 4) return;
    double n[4];
    for (int i = 0; i < 4; ++i)
        if (!app::ParseNumber(parts[i], n[i])) return;
    // A negative size is as invalid as a non-number, and so is anything beyond the coordinates a window can
    // have on any screen: the window keeps its initial placement.
    if (n[2] < 0 || n[3] < 0) return;
    for (double v : n)
        if (std::fabs(v) > app::kMaxPlacementTwips) return;
    // Screens change between runs; a placement left on a screen that is gone is brought back onto one.
    m_Controls.window->Move(app::OntoNearestScreen({n[0], n[1], n[2], n[3]}, m_Controls.window->WorkAreas()));
}
