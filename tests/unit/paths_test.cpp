#include "base/paths.h"

#include <gtest/gtest.h>

// Each path with the three parts the editor takes from it: the caption's name, the extension that decides the
// document's kind (lowered, A-Z only, and from the file name alone), and the path without it, which Save As
// proposes for a file of another type.
TEST(Paths, NameExtensionAndStemOfEachPath) {
    struct Row {
        const char16_t* path;
        const char16_t* name;
        const char16_t* extension;
        const char16_t* stem;
    };
    const Row rows[] = {
        {u"C:\\docs\\a.txs", u"a.txs", u"txs", u"C:\\docs\\a"},
        {u"a.txs", u"a.txs", u"txs", u"a"},
        {u"C:\\docs\\", u"", u"", u"C:\\docs\\"},
        {u"C:\\docs\\NOTES.TXS", u"NOTES.TXS", u"txs", u"C:\\docs\\NOTES"},
        {u"C:\\docs\\archive.tar.gz", u"archive.tar.gz", u"gz", u"C:\\docs\\archive.tar"},
        {u"C:\\docs\\readme", u"readme", u"", u"C:\\docs\\readme"},
        {u"C:\\docs\\MEMO.", u"MEMO.", u"", u"C:\\docs\\MEMO"},
        {u"C:\\v1.2\\README", u"README", u"", u"C:\\v1.2\\README"},
        {u"C:/v1.2/notes.TXT", u"notes.TXT", u"txt", u"C:/v1.2/notes"},
        {u"a.\u00C4B", u"a.\u00C4B", u"\u00C4b", u"a"},
        {u"", u"", u"", u""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "path #" << (&row - rows));
        EXPECT_EQ(base::GetFileNamePart(row.path), row.name);
        EXPECT_EQ(base::GetExtension(row.path), row.extension);
        EXPECT_EQ(base::StripExtension(row.path), row.stem);
    }
}
