#include <gtest/gtest.h>

#include "app/geometry.h"
#include "app/placement.h"
#include "app/registry_settings.h"
#include "fakes/fake_platform.h"

namespace {
const Text kKey = u"SOFTWARE\\tarvik";
}

TEST(Settings, ValuesReadTrimmedAndOnlyWhenTheyAreShortEnoughToBeOurs) {
    FakeSettings settings;
    settings.Put(SettingsRoot::LocalMachine, kKey, u"position", u"  1,2,3,4  ");
    EXPECT_EQ(app::ReadTrimmed(settings, SettingsRoot::LocalMachine, kKey, u"position"), u"1,2,3,4");
    const Text v399 = Text(398, u'x') + u"y", v400 = Text(400, u'x');
    settings.Put(SettingsRoot::LocalMachine, kKey, u"a", v399);
    settings.Put(SettingsRoot::LocalMachine, kKey, u"b", v400);
    EXPECT_EQ(app::ReadTrimmed(settings, SettingsRoot::LocalMachine, kKey, u"a"), v399);
    EXPECT_EQ(app::ReadTrimmed(settings, SettingsRoot::LocalMachine, kKey, u"b"), u"");
    EXPECT_EQ(app::ReadTrimmed(settings, SettingsRoot::LocalMachine, kKey, u"absent"), u"");
    EXPECT_EQ(app::ReadTrimmed(settings, SettingsRoot::CurrentUser, kKey, u"position"), u"");
    // Neither root writable: a setting is not kept, and nothing pretends it was.
    settings.refuseWrites = {SettingsRoot::LocalMachine, SettingsRoot::CurrentUser};
    app::WriteSetting(settings, u"position", u"5,6,7,8");
    EXPECT_EQ(app::ReadSetting(settings, u"position"), u"1,2,3,4");
}

TEST(Settings, MachineKeyFirstThenTheSamePathPerUser) {
    FakeSettings settings;
    app::WriteSetting(settings, u"position", u"1,2,3,4");
    EXPECT_EQ(settings.Get(SettingsRoot::LocalMachine, kKey, u"position"), u"1,2,3,4");
    EXPECT_FALSE(settings.keys.count(FakeSettings::Key(SettingsRoot::CurrentUser, kKey)));
    EXPECT_EQ(app::ReadSetting(settings, u"position"), u"1,2,3,4");

    FakeSettings user;
    user.refuseWrites.insert(SettingsRoot::LocalMachine);
    app::WriteSetting(user, u"position", u"5,6,7,8");
    EXPECT_EQ(user.Get(SettingsRoot::CurrentUser, kKey, u"position"), u"5,6,7,8");
    EXPECT_EQ(app::ReadSetting(user, u"position"), u"5,6,7,8");
}

TEST(Settings, NeitherCopyGoesStaleBehindTheOther) {
    FakeSettings settings;
    // Machine-wide value from a run with rights, then runs without them.
    settings.Put(SettingsRoot::LocalMachine, kKey, u"position", u"9,9,9,9");
    settings.refuseWrites.insert(SettingsRoot::LocalMachine);
    app::WriteSetting(settings, u"position", u"5,6,7,8");
    EXPECT_EQ(app::ReadSetting(settings, u"position"), u"5,6,7,8");
    // Rights again: the machine-wide value is written and the per-user copy no longer hides it.
    settings.refuseWrites.clear();
    app::WriteSetting(settings, u"position", u"1,2,3,4");
    EXPECT_EQ(settings.Get(SettingsRoot::LocalMachine, kKey, u"position"), u"1,2,3,4");
    EXPECT_EQ(app::ReadSetting(settings, u"position"), u"1,2,3,4");
}

TEST(Settings, NumbersPrintLikeSinglePrecisionValues) {
    EXPECT_EQ(app::SingleText(1200), u"1200");
    EXPECT_EQ(app::SingleText(-45), u"-45");
    EXPECT_EQ(app::SingleText(0), u"0");
    EXPECT_EQ(app::SingleText(1234.5), u"1234.5");
    EXPECT_EQ(app::SingleText(1.0 / 3), u"0.3333333");
    EXPECT_EQ(app::SingleText(12345678), u"1.234568E+07");
    double v = 0;
    EXPECT_TRUE(app::ParseNumber(u" 1234.5 ", v));
    EXPECT_EQ(v, 1234.5);
    EXPECT_TRUE(app::ParseNumber(u"1.234568E+07", v));
    EXPECT_FALSE(app::ParseNumber(u"12px", v));
    EXPECT_FALSE(app::ParseNumber(u"", v));
    EXPECT_FALSE(app::ParseNumber(u"1.2.3", v));
    EXPECT_FALSE(app::ParseNumber(u"1e39", v));  // beyond single precision
    EXPECT_FALSE(app::ParseNumber(u"-", v));
    EXPECT_TRUE(app::ParseNumber(u"-1E-05", v));
    EXPECT_FLOAT_EQ(v, -1e-5f);
}

TEST(Placement, ClosingStoresTheRectangleAndTheNextStartRestoresIt) {
    FakeSettings kept;
    {
        Started s;
        s.host.window.rect = s.host.window.normal = {1200, 900, 9000, 6000};
        s.editor().Form_Unload();
        EXPECT_TRUE(s.fp.loop.ended);
        EXPECT_EQ(s.fp.settings.Get(SettingsRoot::LocalMachine, kKey, u"position"), u"1200,900,9000,6000");
        kept = s.fp.settings;
    }
    Started s(false);
    s.fp.settings = kept;
    s.Start();
    const Rect r = s.host.window.rect;
    EXPECT_EQ(r.left, 1200);
    EXPECT_EQ(r.top, 900);
    EXPECT_EQ(r.width, 9000);
    EXPECT_EQ(r.height, 6000);
}

TEST(Placement, MinimizedOrMaximizedWindowStoresItsRestoredRectangle) {
    Started s;
    s.host.window.minimized = true;
    s.host.window.rect = {-32000, -32000, 2400, 450};
    s.host.window.normal = {300, 200, 8000, 5000};
    s.editor().SaveAll();
    EXPECT_EQ(s.fp.settings.Get(SettingsRoot::LocalMachine, kKey, u"position"), u"300,200,8000,5000");
}

TEST(Placement, WithoutMachineRightsTheUserKeyCarriesThePlacementAcrossRuns) {
    Started s(false);
    s.fp.settings.refuseWrites.insert(SettingsRoot::LocalMachine);
    s.fp.settings.Put(SettingsRoot::CurrentUser, kKey, u"position", u"10,20,7000,5000");
    s.Start();
    EXPECT_EQ(s.host.window.rect.left, 10);
    EXPECT_EQ(s.host.window.rect.width, 7000);
    s.host.window.normal = {15, 25, 7100, 5100};
    s.editor().SaveAll();
    EXPECT_EQ(s.fp.settings.Get(SettingsRoot::CurrentUser, kKey, u"position"), u"15,25,7100,5100");
}

TEST(Placement, AnythingButFourNumbersLeavesTheInitialPlacement) {
    const Text bad[] = {u"1,2,3", u"1,2,3,4,5", u"", u"1,2,x,4", u"1,,3,4", u"1,2,-3,4", u"1,2,3,nan"};
    for (const Text& value : bad) {
        Started s(false);
        if (!value.empty()) s.fp.settings.Put(SettingsRoot::LocalMachine, kKey, u"position", value);
        s.Start();
        const Rect r = s.host.window.rect;
        EXPECT_EQ(r.left, 0) << std::string(value.begin(), value.end());
        EXPECT_EQ(r.width, 9000) << std::string(value.begin(), value.end());
    }
    Started s(false);
    s.fp.settings.Put(SettingsRoot::LocalMachine, kKey, u"position", u" 1 , 2 ,3000.5,4000");
    s.Start();
    EXPECT_EQ(s.host.window.rect.left, 1);
    EXPECT_EQ(s.host.window.rect.width, 3000.5);
}

TEST(Placement, OffEveryScreenIsBroughtOntoTheNearestOne) {
    const std::vector<Rect> screens{{0, 0, 15360, 11040}, {15360, 0, 19200, 14400}};
    // Overlapping a screen, even partly: unchanged.
    const Rect partly{-2000, -500, 9000, 6000};
    const Rect kept = app::OntoNearestScreen(partly, screens);
    EXPECT_EQ(kept.left, -2000);
    EXPECT_EQ(kept.top, -500);
    // Right of both: onto the second screen, flush with its right edge.
    Rect r = app::OntoNearestScreen({40000, 1200, 9000, 6000}, screens);
    EXPECT_EQ(r.left, 15360 + 19200 - 9000);
    EXPECT_EQ(r.top, 1200);
    EXPECT_EQ(r.width, 9000);
    // Above and left of the first, and larger than it: shrunk to its work area.
    r = app::OntoNearestScreen({-30000, -30000, 20000, 12000}, screens);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.width, 15360);
    EXPECT_EQ(r.height, 11040);
    // No screen known: nothing to correct against.
    r = app::OntoNearestScreen({-30000, 0, 100, 100}, {});
    EXPECT_EQ(r.left, -30000);
}

TEST(Placement, StartWithAPlacementOnAScreenThatIsGoneMovesOntoAPresentOne) {
    Started s(false);
    s.fp.settings.Put(SettingsRoot::LocalMachine, kKey, u"position", u"-20000,900,9000,6000");
    s.Start();
    EXPECT_EQ(s.host.window.rect.left, 0);
    EXPECT_EQ(s.host.window.rect.top, 900);
    EXPECT_EQ(s.host.window.rect.width, 9000);
}
