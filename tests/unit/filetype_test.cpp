#include "app/filetype.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

TEST(FileType, StartUpRegistersTxsWithTheExecutableAndItsIcon) {
    Started s;
    const FakeRegistry& r = s.fp.registry;
    EXPECT_EQ(r.Get(RegRoot::ClassesRoot, u".txs", u""), u"Lockleaf File");
    EXPECT_EQ(r.Get(RegRoot::ClassesRoot, u"Lockleaf File\\Shell\\Open\\Command", u""),
              u"\"C:\\Apps\\lockleaf.exe\" %1");
    EXPECT_EQ(r.Get(RegRoot::ClassesRoot, u"Lockleaf File\\DefaultIcon", u""), u"C:\\Apps\\lockleaf.exe");
    EXPECT_TRUE(r.open.empty());
}

TEST(FileType, OverwritesOldEntriesAtEveryStart) {
    Started s(false);
    s.fp.registry.Put(RegRoot::ClassesRoot, u".txs", u"", u"Other File");
    s.fp.registry.Put(RegRoot::ClassesRoot, u"Lockleaf File\\Shell\\Open\\Command", u"", u"old.exe %1");
    s.Start();
    EXPECT_EQ(s.fp.registry.Get(RegRoot::ClassesRoot, u".txs", u""), u"Lockleaf File");
    EXPECT_EQ(s.fp.registry.Get(RegRoot::ClassesRoot, u"Lockleaf File\\Shell\\Open\\Command", u""),
              u"\"C:\\Apps\\lockleaf.exe\" %1");
}

TEST(FileType, AVerbNamesTheCommandKeyAndAnEmptyIconWritesNoDefaultIcon) {
    FakeRegistry r;
    d1::RegisterFileType(r, u"Lockleaf File", u"x.exe %1", u"txs", u"Edit", u"");
    EXPECT_EQ(r.Get(RegRoot::ClassesRoot, u"Lockleaf File\\Shell\\Edit\\Command", u""), u"x.exe %1");
    EXPECT_FALSE(
        r.keys.count(FakeRegistry::Key(RegRoot::ClassesRoot, u"Lockleaf File\\Shell\\Open\\Command")));
    EXPECT_FALSE(r.keys.count(FakeRegistry::Key(RegRoot::ClassesRoot, u"Lockleaf File\\DefaultIcon")));
}

TEST(FileType, WithoutRightsOnTheClassesRootTheUserClassesGetTheEntries) {
    Started s(false);
    s.fp.registry.refuseWrites.insert(RegRoot::ClassesRoot);
    s.Start();
    const FakeRegistry& r = s.fp.registry;
    EXPECT_EQ(r.Get(RegRoot::CurrentUser, u"Software\\Classes\\.txs", u""), u"Lockleaf File");
    EXPECT_EQ(r.Get(RegRoot::CurrentUser, u"Software\\Classes\\Lockleaf File\\Shell\\Open\\Command", u""),
              u"\"C:\\Apps\\lockleaf.exe\" %1");
    EXPECT_EQ(r.Get(RegRoot::CurrentUser, u"Software\\Classes\\Lockleaf File\\DefaultIcon", u""),
              u"C:\\Apps\\lockleaf.exe");
    EXPECT_FALSE(r.Has(RegRoot::ClassesRoot, u".txs", u""));
}

TEST(FileType, ARegistryThatRefusesEverythingStopsNeitherTheStartNorTheClose) {
    Started s(false);
    s.fp.registry.refuseEverything = true;
    s.Start();
    EXPECT_TRUE(s.host.shown);
    s.editor().Type(u"typed");
    s.fou().Form_Unload();
    EXPECT_TRUE(s.fp.loop.ended);
    EXPECT_TRUE(s.fp.registry.keys.empty());
    EXPECT_TRUE(s.fp.prompts.messages.empty());
}
