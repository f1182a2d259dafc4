#include <gtest/gtest.h>

#include "app/geometry.h"
#include "app/placement.h"
#include "app/registry_settings.h"
#include "fakes/fake_platform.h"

namespace {
const Text kKey = u"SOFTWARE\\tarvik";
}

TEST(RegStrings, TrimsBlanksAndCutsAtTheFirstNul) {
    FakeRegistry reg;
    reg.Put(RegRoot::LocalMachine, kKey, u"position", u"  1,2,3,4  ");
    EXPECT_EQ(d1::RegReadString(reg, RegRoot::LocalMachine, kKey, u"position"), u"1,2,3,4");
    const Text withNul(u"ab\0cd", 5);
    reg.Put(RegRoot::LocalMachine, kKey, u"x", withNul);
    EXPECT_EQ(d1::RegReadString(reg, RegRoot::LocalMachine, kKey, u"x"), u"ab");
    // Stored without its terminating NUL: the blanks of the buffer end it.
    reg.PutRaw(RegRoot::LocalMachine, kKey, u"raw",
               Bytes("7\0,\0"
                     "8\0",
                     6));
    EXPECT_EQ(d1::RegReadString(reg, RegRoot::LocalMachine, kKey, u"raw"), u"7,8");
    EXPECT_TRUE(reg.open.empty());
}

TEST(RegStrings, A399CharacterValueReadsWholeA400CharacterValueReadsEmpty) {
    FakeRegistry reg;
    const Text v399 = Text(398, u'x') + u"y", v400 = Text(400, u'x');
    reg.Put(RegRoot::LocalMachine, kKey, u"a", v399);
    reg.Put(RegRoot::LocalMachine, kKey, u"b", v400);
    EXPECT_EQ(d1::RegReadString(reg, RegRoot::LocalMachine, kKey, u"a"), v399);
    EXPECT_EQ(d1::RegReadString(reg, RegRoot::LocalMachine, kKey, u"b"), u"");
    EXPECT_TRUE(reg.open.empty());
}

TEST(RegStrings, MissingKeyOrValueReadsEmptyAndLeavesNoKeyOpen) {
    FakeRegistry reg;
    EXPECT_EQ(d1::RegReadString(reg, RegRoot::LocalMachine, kKey, u"position"), u"");
    reg.Put(RegRoot::LocalMachine, kKey, u"other", u"1");
    EXPECT_EQ(d1::RegReadString(reg, RegRoot::LocalMachine, kKey, u"position"), u"");
    EXPECT_TRUE(reg.open.empty());
}

TEST(RegStrings, WriteCreatesTheKeyClosesItAndReportsRefusal) {
    FakeRegistry reg;
    EXPECT_TRUE(d1::RegWriteString(reg, RegRoot::CurrentUser, u"A\\B\\C", u"n", u"v"));
    EXPECT_EQ(reg.Get(RegRoot::CurrentUser, u"A\\B\\C", u"n"), u"v");
    reg.refuseWrites.insert(RegRoot::LocalMachine);
    EXPECT_FALSE(d1::RegWriteString(reg, RegRoot::LocalMachine, kKey, u"n", u"v"));
    EXPECT_TRUE(reg.open.empty());
}

TEST(Settings, MachineKeyFirstThenTheSamePathPerUser) {
    FakeRegistry reg;
    d1::WriteSetting(reg, u"position", u"1,2,3,4");
    EXPECT_EQ(reg.Get(RegRoot::LocalMachine, kKey, u"position"), u"1,2,3,4");
    EXPECT_FALSE(reg.keys.count(FakeRegistry::Key(RegRoot::CurrentUser, kKey)));
    EXPECT_EQ(d1::ReadSetting(reg, u"position"), u"1,2,3,4");

    FakeRegistry user;
    user.refuseWrites.insert(RegRoot::LocalMachine);
    d1::WriteSetting(user, u"position", u"5,6,7,8");
    EXPECT_EQ(user.Get(RegRoot::CurrentUser, kKey, u"position"), u"5,6,7,8");
    EXPECT_EQ(d1::ReadSetting(user, u"position"), u"5,6,7,8");
    EXPECT_TRUE(user.open.empty());
}

TEST(Settings, NeitherCopyGoesStaleBehindTheOther) {
    FakeRegistry reg;
    // Machine-wide value from a run with rights, then runs without them.
    reg.Put(RegRoot::LocalMachine, kKey, u"position", u"9,9,9,9");
    reg.refuseWrites.insert(RegRoot::LocalMachine);
    d1::WriteSetting(reg, u"position", u"5,6,7,8");
    EXPECT_EQ(d1::ReadSetting(reg, u"position"), u"5,6,7,8");
    // Rights again: the machine-wide value is written and the per-user copy no longer hides it.
    reg.refuseWrites.clear();
    d1::WriteSetting(reg, u"position", u"1,2,3,4");
    EXPECT_EQ(reg.Get(RegRoot::LocalMachine, kKey, u"position"), u"1,2,3,4");
    EXPECT_EQ(d1::ReadSetting(reg, u"position"), u"1,2,3,4");
    EXPECT_TRUE(reg.open.empty());
}

TEST(Settings, NumbersPrintLikeSinglePrecisionValues) {
    EXPECT_EQ(d1::SingleText(1200), u"1200");
    EXPECT_EQ(d1::SingleText(-45), u"-45");
    EXPECT_EQ(d1::SingleText(0), u"0");
    EXPECT_EQ(d1::SingleText(1234.5), u"1234.5");
    EXPECT_EQ(d1::SingleText(1.0 / 3), u"0.3333333");
    EXPECT_EQ(d1::SingleText(12345678), u"1.234568E+07");
    double v = 0;
    EXPECT_TRUE(d1::ParseNumber(u" 1234.5 ", v));
    EXPECT_EQ(v, 1234.5);
    EXPECT_TRUE(d1::ParseNumber(u"1.234568E+07", v));
    EXPECT_FALSE(d1::ParseNumber(u"12px", v));
    EXPECT_FALSE(d1::ParseNumber(u"", v));
    EXPECT_FALSE(d1::ParseNumber(u"1.2.3", v));
    EXPECT_FALSE(d1::ParseNumber(u"1e39", v));  // beyond single precision
    EXPECT_FALSE(d1::ParseNumber(u"-", v));
    EXPECT_TRUE(d1::ParseNumber(u"-1E-05", v));
    EXPECT_FLOAT_EQ(v, -1e-5f);
}

TEST(Placement, ClosingStoresTheRectangleAndTheNextStartRestoresIt) {
    FakeRegistry kept;
    {
        Started s;
        s.host.window.rect = s.host.window.normal = {1200, 900, 9000, 6000};
        s.fou().Form_Unload();
        EXPECT_TRUE(s.fp.loop.ended);
        EXPECT_EQ(s.fp.registry.Get(RegRoot::LocalMachine, kKey, u"position"), u"1200,900,9000,6000");
        kept = s.fp.registry;
    }
    Started s(false);
    s.fp.registry = kept;
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
    s.fou().SaveAll();
    EXPECT_EQ(s.fp.registry.Get(RegRoot::LocalMachine, kKey, u"position"), u"300,200,8000,5000");
}

TEST(Placement, WithoutMachineRightsTheUserKeyCarriesThePlacementAcrossRuns) {
    Started s(false);
    s.fp.registry.refuseWrites.insert(RegRoot::LocalMachine);
    s.fp.registry.Put(RegRoot::CurrentUser, kKey, u"position", u"10,20,7000,5000");
    s.Start();
    EXPECT_EQ(s.host.window.rect.left, 10);
    EXPECT_EQ(s.host.window.rect.width, 7000);
    s.host.window.normal = {15, 25, 7100, 5100};
    s.fou().SaveAll();
    EXPECT_EQ(s.fp.registry.Get(RegRoot::CurrentUser, kKey, u"position"), u"15,25,7100,5100");
}

TEST(Placement, AnythingButFourNumbersLeavesTheInitialPlacement) {
    const Text bad[] = {u"1,2,3", u"1,2,3,4,5", u"", u"1,2,x,4", u"1,,3,4", u"1,2,-3,4", u"1,2,3,nan"};
    for (const Text& value : bad) {
        Started s(false);
        if (!value.empty()) s.fp.registry.Put(RegRoot::LocalMachine, kKey, u"position", value);
        s.Start();
        const Rect r = s.host.window.rect;
        EXPECT_EQ(r.left, 0) << std::string(value.begin(), value.end());
        EXPECT_EQ(r.width, 9000) << std::string(value.begin(), value.end());
        EXPECT_TRUE(s.fp.registry.open.empty());
    }
    Started s(false);
    s.fp.registry.Put(RegRoot::LocalMachine, kKey, u"position", u" 1 , 2 ,3000.5,4000");
    s.Start();
    EXPECT_EQ(s.host.window.rect.left, 1);
    EXPECT_EQ(s.host.window.rect.width, 3000.5);
}

TEST(Placement, OffEveryScreenIsBroughtOntoTheNearestOne) {
    const std::vector<Rect> screens{{0, 0, 15360, 11040}, {15360, 0, 19200, 14400}};
    // Overlapping a screen, even partly: unchanged.
    const Rect partly{-2000, -500, 9000, 6000};
    const Rect kept = d1::OntoNearestScreen(partly, screens);
    EXPECT_EQ(kept.left, -2000);
    EXPECT_EQ(kept.top, -500);
    // Right of both: onto the second screen, flush with its right edge.
    Rect r = d1::OntoNearestScreen({40000, 1200, 9000, 6000}, screens);
    EXPECT_EQ(r.left, 15360 + 19200 - 9000);
    EXPECT_EQ(r.top, 1200);
    EXPECT_EQ(r.width, 9000);
    // Above and left of the first, and larger than it: shrunk to its work area.
    r = d1::OntoNearestScreen({-30000, -30000, 20000, 12000}, screens);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.width, 15360);
    EXPECT_EQ(r.height, 11040);
    // No screen known: nothing to correct against.
    r = d1::OntoNearestScreen({-30000, 0, 100, 100}, {});
    EXPECT_EQ(r.left, -30000);
}

TEST(Placement, StartWithAPlacementOnAScreenThatIsGoneMovesOntoAPresentOne) {
    Started s(false);
    s.fp.registry.Put(RegRoot::LocalMachine, kKey, u"position", u"-20000,900,9000,6000");
    s.Start();
    EXPECT_EQ(s.host.window.rect.left, 0);
    EXPECT_EQ(s.host.window.rect.top, 900);
    EXPECT_EQ(s.host.window.rect.width, 9000);
}
