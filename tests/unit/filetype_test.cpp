#include "app/filetype.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

TEST(FileType, StartUpRegistersTxsAndTxseWithTheExecutableAndItsIcon) {
    Started s;
    const FakeSettings& r = s.fp.settings;
    EXPECT_EQ(r.Get(SettingsRoot::ClassesRoot, u".txs", u""), u"Lockleaf File");
    EXPECT_EQ(r.Get(SettingsRoot::ClassesRoot, u".txse", u""), u"Lockleaf File");
    EXPECT_EQ(r.Get(SettingsRoot::ClassesRoot, u"Lockleaf File\\Shell\\Open\\Command", u""),
              u"\"C:\\Apps\\lockleaf.exe\" %1");
    EXPECT_EQ(r.Get(SettingsRoot::ClassesRoot, u"Lockleaf File\\DefaultIcon", u""),
              u"C:\\Apps\\lockleaf.exe");
}

TEST(FileType, OverwritesOldEntriesAtEveryStart) {
    Started s(false);
    s.fp.settings.Put(SettingsRoot::ClassesRoot, u".txs", u"", u"Other File");
    s.fp.settings.Put(SettingsRoot::ClassesRoot, u"Lockleaf File\\Shell\\Open\\Command", u"", u"old.exe %1");
    s.Start();
    EXPECT_EQ(s.fp.settings.Get(SettingsRoot::ClassesRoot, u".txs", u""), u"Lockleaf File");
    EXPECT_EQ(s.fp.settings.Get(SettingsRoot::ClassesRoot, u"Lockleaf File\\Shell\\Open\\Command", u""),
              u"\"C:\\Apps\\lockleaf.exe\" %1");
}

TEST(FileType, AVerbNamesTheCommandKeyAndAnEmptyIconWritesNoDefaultIcon) {
    FakeSettings r;
    app::RegisterFileType(r, u"Lockleaf File", u"x.exe %1", u"txs", u"Edit", u"");
    EXPECT_EQ(r.Get(SettingsRoot::ClassesRoot, u"Lockleaf File\\Shell\\Edit\\Command", u""), u"x.exe %1");
    EXPECT_FALSE(
        r.keys.count(FakeSettings::Key(SettingsRoot::ClassesRoot, u"Lockleaf File\\Shell\\Open\\Command")));
    EXPECT_FALSE(r.keys.count(FakeSettings::Key(SettingsRoot::ClassesRoot, u"Lockleaf File\\DefaultIcon")));
}

TEST(FileType, WithoutRightsOnTheClassesRootTheUserClassesGetTheEntries) {
    Started s(false);
    s.fp.settings.refuseWrites.insert(SettingsRoot::ClassesRoot);
    s.Start();
    const FakeSettings& r = s.fp.settings;
    EXPECT_EQ(r.Get(SettingsRoot::CurrentUser, u"Software\\Classes\\.txs", u""), u"Lockleaf File");
    EXPECT_EQ(
        r.Get(SettingsRoot::CurrentUser, u"Software\\Classes\\Lockleaf File\\Shell\\Open\\Command", u""),
        u"\"C:\\Apps\\lockleaf.exe\" %1");
    EXPECT_EQ(r.Get(SettingsRoot::CurrentUser, u"Software\\Classes\\Lockleaf File\\DefaultIcon", u""),
              u"C:\\Apps\\lockleaf.exe");
    EXPECT_FALSE(r.Has(SettingsRoot::ClassesRoot, u".txs", u""));
}

TEST(FileType, ARegistryThatRefusesEverythingStopsNeitherTheStartNorTheClose) {
    Started s(false);
    s.fp.settings.refuseEverything = true;
    s.Start();
    EXPECT_TRUE(s.host.shown);
    s.box().Type(u"typed");
    s.editor().Form_Unload();
    EXPECT_TRUE(s.fp.loop.ended);
    EXPECT_TRUE(s.fp.settings.keys.empty());
    EXPECT_TRUE(s.fp.prompts.messages.empty());
}
