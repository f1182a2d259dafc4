#include "fakes/fake_platform.h"

EditorControls FakeEditorHost::Create(EditorEvents& fou, AdStripEvents& ads) {
    order.push_back("Create");
    adEvents = &ads;
    for (int i = 0; i < 2; ++i) {
        txtData[i].onChange = [&fou, i] { fou.txtData_Change(i); };
        txtData[i].onSelChange = [&fou, i] { fou.txtData_SelChange(i); };
        txtData[i].onEdit = [&fou, i](TextEdit& edit) { fou.txtData_Edit(i, edit); };
        txtData[i].visible = i == 0;
    }
    imMore.rect = {8280, 0, 285, 270};
    EditorControls c;
    c.window = &window;
    c.txtData[0] = &txtData[0];
    c.txtData[1] = &txtData[1];
    c.ads.browser1 = &browser1;
    c.ads.imMore = &imMore;
    c.ads.aAdver = &aAdver;
    c.wordWrap = &wordWrap;
    c.timer1 = &timer1;
    c.statusBar = &statusBar;
    c.statusBarItem = &statusBarItem;
    c.textFont = &textFont;
    return c;
}
