#include "fakes/fake_platform.h"

EditorControls FakeEditorHost::Create(EditorEvents& editor, AdStripEvents& ads) {
    order.push_back("Create");
    adEvents = &ads;
    for (int i = 0; i < 2; ++i) {
        textBoxes[i].onChange = [&editor, i] { editor.OnTextChange(i); };
        textBoxes[i].onSelChange = [&editor, i] { editor.OnSelectionChange(i); };
        textBoxes[i].onEdit = [&editor, i](TextEdit& edit) { editor.OnTextEdit(i, edit); };
        textBoxes[i].visible = i == 0;
    }
    morePicture.rect = {8280, 0, 285, 270};
    EditorControls c;
    c.window = &window;
    c.textBoxes[0] = &textBoxes[0];
    c.textBoxes[1] = &textBoxes[1];
    c.ads.browser = &browser;
    c.ads.morePicture = &morePicture;
    c.ads.adMenu = &adMenu;
    c.wordWrap = &wordWrap;
    c.timer = &timer;
    c.statusBar = &statusBar;
    c.statusBarItem = &statusBarItem;
    c.textFont = &textFont;
    return c;
}
