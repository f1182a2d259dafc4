#include "base/paths.h"

#include <gtest/gtest.h>

TEST(Paths, FileNamePartIsTheTextAfterTheLastBackslash) {
    EXPECT_EQ(base::GetFileNamePart(u"C:\\docs\\a.txs"), u"a.txs");
    EXPECT_EQ(base::GetFileNamePart(u"a.txs"), u"a.txs");
    EXPECT_EQ(base::GetFileNamePart(u"C:\\docs\\"), u"");
    EXPECT_EQ(base::GetFileNamePart(u""), u"");
}

TEST(Paths, ExtensionIsLoweredAndTakenFromTheFileNameOnly) {
    EXPECT_EQ(base::GetExtension(u"C:\\docs\\NOTES.TXS"), u"txs");
    EXPECT_EQ(base::GetExtension(u"C:\\docs\\archive.tar.gz"), u"gz");
    EXPECT_EQ(base::GetExtension(u"C:\\docs\\readme"), u"");
    EXPECT_EQ(base::GetExtension(u"C:\\docs\\memo."), u"");
    EXPECT_EQ(base::GetExtension(u"C:\\v1.2\\README"), u"");
    EXPECT_EQ(base::GetExtension(u"C:/v1.2/notes.TXT"), u"txt");
    EXPECT_EQ(base::GetExtension(u"a.\u00C4B"), u"\u00C4b");  // only A-Z are lowered
    EXPECT_EQ(base::GetExtension(u""), u"");
}

TEST(Paths, StripExtensionKeepsCaseAndDropsOnlyTheLastPart) {
    EXPECT_EQ(base::StripExtension(u"C:\\docs\\memo.txt"), u"C:\\docs\\memo");
    EXPECT_EQ(base::StripExtension(u"C:\\docs\\readme"), u"C:\\docs\\readme");
    EXPECT_EQ(base::StripExtension(u"C:\\docs\\archive.tar.gz"), u"C:\\docs\\archive.tar");
    EXPECT_EQ(base::StripExtension(u"C:\\v1.2\\README"), u"C:\\v1.2\\README");
    EXPECT_EQ(base::StripExtension(u"C:\\docs\\MEMO."), u"C:\\docs\\MEMO");
    EXPECT_EQ(base::StripExtension(u""), u"");
}
