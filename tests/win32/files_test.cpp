// Whole-file reads and the atomic save against the real (Wine) file system.
#include <windows.h>

#include <gtest/gtest.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/whole_file.h"
#include "protect/cipher.h"
#include "win32/files_win.h"
#include "win32/win_util.h"

namespace {

struct RealFiles : ::testing::Test {
    Win32Files files;
    Text dir;

    void SetUp() override {
        wchar_t tmp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH, tmp);
        dir = win::FromW(tmp) + u"lockleaf-files-" + Text(1, u'A' + GetCurrentProcessId() % 26) +
              Text(1, u'a' + GetTickCount() % 26);
        CreateDirectoryW(win::W(dir), nullptr);
    }
    // Three folders of 100 characters below dir: over 300 characters before a file name. TearDown removes
    // them.
    std::vector<Text> deepFolders;
    Text DeepFolder() {
        Text deep = dir;
        for (char16_t c : {u'x', u'y', u'z'}) {
            deep += u"\\" + Text(100, c);
            EXPECT_TRUE(files.CreateFolder(deep));
            deepFolders.push_back(deep);
        }
        return deep;
    }
    void TearDown() override {
        for (auto it = deepFolders.rbegin(); it != deepFolders.rend(); ++it)
            RemoveDirectoryW((L"\\\\?\\" + std::wstring(win::W(*it))).c_str());
        for (const Text& name : Names()) {
            SetFileAttributesW(win::W(Path(name)), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(win::W(Path(name)));
        }
        RemoveDirectoryW(win::W(dir));
    }
    Text Path(const Text& name) const { return dir + u"\\" + name; }
    void Put(const Text& name, const Bytes& bytes) {
        win::ScopedHandle f(
            CreateFileW(win::W(Path(name)), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD put = 0;
        ASSERT_TRUE(WriteFile(f.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr));
    }
    // Last written this many seconds ago.
    void Age(const Text& name, int64_t seconds) {
        win::ScopedHandle f(
            CreateFileW(win::W(Path(name)), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        const uint64_t then =
            ((uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime) - seconds * 10'000'000;
        const FILETIME t{static_cast<DWORD>(then), static_cast<DWORD>(then >> 32)};
        ASSERT_TRUE(SetFileTime(f.Get(), nullptr, nullptr, &t));
    }
    Bytes Get(const Text& name) {
        Bytes b;
        return files.ReadAll(Path(name), b) ? b : Bytes("<unreadable>");
    }
    // Every entry of the folder, so that a temporary file left behind shows.
    std::vector<Text> Names() const {
        std::vector<Text> names;
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW(win::W(dir + u"\\*"), &fd);
        if (h == INVALID_HANDLE_VALUE) return names;
        do {
            const Text n = win::FromW(fd.cFileName);
            if (n != u"." && n != u"..") names.push_back(n);
        } while (FindNextFileW(h, &fd));
        FindClose(h);
        std::sort(names.begin(), names.end());
        return names;
    }
};

using Listing = std::vector<Text>;

// A name for a failure's message (the test's names are ASCII).
std::string Ascii(const Text& t) { return std::string(t.begin(), t.end()); }

}  // namespace

TEST_F(RealFiles, NewFileIsMovedIntoPlaceAndNoTemporaryFileRemains) {
    EXPECT_EQ(files.Replace(Path(u"new.txt"), Path(u"none.tmp")), Files::ReplaceResult::TargetMissing);
    ASSERT_TRUE(base::WriteWholeFile(files, Path(u"new.txt"), u"line\r\n\u0e01"));
    EXPECT_EQ(Get(u"new.txt"), "line\r\n\xA1");
    EXPECT_EQ(Names(), Listing{u"new.txt"});
}

TEST_F(RealFiles, ExistingFileIsReplacedWholeKeepingItsAttributes) {
    Put(u"doc.txt", Bytes(100000, 'o'));
    SetFileAttributesW(win::W(Path(u"doc.txt")), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(base::WriteWholeFile(files, Path(u"doc.txt"), u"short"));
    EXPECT_EQ(Get(u"doc.txt"), "short");
    EXPECT_TRUE(GetFileAttributesW(win::W(Path(u"doc.txt"))) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Names(), Listing{u"doc.txt"});
}

TEST_F(RealFiles, ACompletedSaveSendsCutOffSavesLeftoversToTheRecycleBinAndNeverTouchesAnOnlyCopy) {
    const Text cutOff = u"~ll0A1B2.doc.txt.tmp",  // doc.txt is there: a cut-off save's leftover
        inProgress = u"~ll0A1B3.doc.txt.tmp",     // just written: another save under way
        orphan = u"~ll0A1B4.gone.txt.tmp",        // its document is gone: maybe the only copy
        anonymous = u"~ll0A1B5.tmp",              // whose, its name does not say
        marked = u"~ll0A1B6.doc.txt.tmp",         // kept read-only
        early = u"~ll0A1B7.doc.txt.tmp",          // stamped 1975: no time at all
        future = u"~ll0A1B8.doc.txt.tmp",         // stamped three hours ahead
        notHex = u"~llZZZZZ.doc.txt.tmp", longer = u"~ll0A1B9.doc.txt.tmp.bak";
    Put(u"doc.txt", "old");
    for (const Text& name : {cutOff, inProgress, orphan, anonymous, marked, early, future, notHex, longer}) {
        Put(name, "half a save");
        if (name != inProgress) Age(name, 2 * 3600);
    }
    Age(early, (int64_t{2026 - 1975} * 365) * 86400);
    Age(future, -3 * 3600);
    ASSERT_TRUE(files.KeepTempFile(Path(marked)));

    // What the sweep is told: every "~ll*.tmp", stamped by the disk's clock, the read-only one marked.
    std::vector<Files::TempFile> found = files.FindTempFiles(dir);
    ASSERT_EQ(found.size(), 8u);
    const int64_t now = files.LastWrite(Path(inProgress));
    EXPECT_GT(now, int64_t{13'000'000'000});  // seconds since 1601: after 2012
    for (const Files::TempFile& t : found) {
        const Text name = t.path.substr(dir.size() + 1);
        EXPECT_EQ(t.path, Path(name));
        EXPECT_EQ(t.kept, name == marked) << Ascii(name);
        if (name == cutOff) {
            EXPECT_NEAR(static_cast<double>(now - t.lastWrite), 7200, 60);
        }
    }
    EXPECT_EQ(files.LastWrite(Path(u"missing.txt")), 0);

    SHQUERYRBINFO before{sizeof(SHQUERYRBINFO)};
    const bool binCounts = SUCCEEDED(SHQueryRecycleBinW(win::W(dir), &before));
    ASSERT_TRUE(base::WriteWholeFile(files, Path(u"doc.txt"), u"done"));
    EXPECT_EQ(Get(u"doc.txt"), "done");

    // The cut-off save's temp is in the Recycle Bin, from where the user can take it back, or still here;
    // nothing else moved, and nothing went for good.
    const Listing rest = {anonymous, inProgress, marked, early, future, orphan, longer, notHex};
    Listing expected = rest;
    expected.push_back(u"doc.txt");
    const Listing names = Names();
    if (std::find(names.begin(), names.end(), cutOff) != names.end()) {
        expected.push_back(cutOff);
        std::printf("the leftover stayed: this drive has no Recycle Bin\n");
    } else {
        ASSERT_TRUE(binCounts) << "the leftover is gone and no Recycle Bin shows it";
        SHQUERYRBINFO after{sizeof(SHQUERYRBINFO)};
        ASSERT_TRUE(SUCCEEDED(SHQueryRecycleBinW(win::W(dir), &after)));
        EXPECT_EQ(after.i64NumItems, before.i64NumItems + 1);
        EXPECT_EQ(after.i64Size, before.i64Size + 11);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    for (const Text& name : rest) EXPECT_EQ(Get(name), "half a save") << Ascii(name);
    EXPECT_FALSE(files.Delete(Path(marked)));  // the mark holds against a plain delete too
}

TEST_F(RealFiles, ATempIsNamedAfterItsDocumentAndRenamedOverItInOneStep) {
    // While the save is between its write and its rename, the folder holds the old file and the temp, whose
    // name says which document it belongs to.
    struct Watching : Win32Files {
        RealFiles* test = nullptr;
        Listing during;
        ReplaceResult Replace(const Text& target, const Text& replacement) override {
            during = test->Names();
            return Win32Files::Replace(target, replacement);
        }
    } watching;
    watching.test = this;
    Put(u"notes.txt", "old");
    ASSERT_TRUE(base::WriteWholeFile(watching, Path(u"notes.txt"), u"new"));
    ASSERT_EQ(watching.during.size(), 2u);
    EXPECT_EQ(watching.during[0], u"notes.txt");
    EXPECT_TRUE(watching.during[1].starts_with(u"~ll") && watching.during[1].ends_with(u".notes.txt.tmp"))
        << Ascii(watching.during[1]);
    EXPECT_EQ(watching.during[1].size(), 8 + 14u);
    EXPECT_EQ(Get(u"notes.txt"), "new");
    EXPECT_EQ(Names(), Listing{u"notes.txt"});
}

// F2 of a big document: encoded piece by piece into the temporary file, which then takes the name; a save
// whose encoding stops half-way (the text changed under it) leaves the old file and no temporary one.
TEST_F(RealFiles, ABigDocumentIsWrittenPieceByPieceAndOneThatStopsHalfWayKeepsTheOldFile) {
    Text text;
    while (text.size() < 3 * base::kEncodePieceUnits) text += u"\u0e01\u0e02 caf\u00e9 \U0001F600\r\n";
    const base::TextFormat utf8{base::Encoding::Utf8Bom, base::LineBreaks::Lf, false};
    Put(u"doc.txt", "old");
    int pieces = 0;
    ASSERT_TRUE(base::WriteWholeBytesFrom(files, Path(u"doc.txt"), [&](const Files::PutBytes& put) {
        return base::EncodeDocument(text, utf8, [&](std::string_view piece) {
            ++pieces;
            return put(piece);
        });
    }));
    EXPECT_GE(pieces, 3);
    const Bytes whole = base::EncodeDocument(text, utf8);
    EXPECT_EQ(Get(u"doc.txt"), whole);
    EXPECT_EQ(Names(), Listing{u"doc.txt"});

    EXPECT_FALSE(base::WriteWholeBytesFrom(files, Path(u"doc.txt"), [&](const Files::PutBytes& put) {
        return put(whole.substr(0, 1000)) && false;
    }));
    EXPECT_EQ(Get(u"doc.txt"), whole);
    EXPECT_EQ(Names(), Listing{u"doc.txt"});
}

TEST_F(RealFiles, ReadOnlyTargetFailsAndStaysUntouched) {
    Put(u"ro.txs", "old bytes");
    SetFileAttributesW(win::W(Path(u"ro.txs")), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(base::WriteWholeFile(files, Path(u"ro.txs"), u"new"));
    EXPECT_EQ(Get(u"ro.txs"), "old bytes");
    EXPECT_EQ(Names(), Listing{u"ro.txs"});
}

TEST_F(RealFiles, TargetHeldOpenByAnotherProgramFailsAndStaysUntouched) {
    // Another program has the file open without sharing deletion: the replace cannot happen, and the old
    // file must survive whole, with the temporary file removed.
    Put(u"busy.txt", "old bytes");
    win::ScopedHandle other(CreateFileW(win::W(Path(u"busy.txt")), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(other.Valid());
    EXPECT_FALSE(base::WriteWholeFile(files, Path(u"busy.txt"), u"new"));
    other.Reset();
    EXPECT_EQ(Get(u"busy.txt"), "old bytes");
    EXPECT_EQ(Names(), Listing{u"busy.txt"});
}

TEST_F(RealFiles, ADiskThatFillsUpDuringTheSaveKeepsThePreviousFileAndNoTemporaryOne) {
    // scripts/win-tests.sh maps a drive onto a small file system where it can mount one.
    wchar_t drive[8] = {};
    if (!GetEnvironmentVariableW(L"LOCKLEAF_FULL_DRIVE", drive, 8)) GTEST_SKIP() << "no small drive mapped";
    RemoveDirectoryW(win::W(dir));
    dir = win::FromW(drive) + u"lockleaf-full";
    ASSERT_TRUE(CreateDirectoryW(win::W(dir), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    Put(u"doc.txt", Bytes(1000, 'o'));
    EXPECT_FALSE(base::WriteWholeFile(files, Path(u"doc.txt"), Text(4u << 20, u'n')));
    EXPECT_EQ(Get(u"doc.txt"), Bytes(1000, 'o'));
    EXPECT_EQ(Names(), Listing{u"doc.txt"});
    // The space the broken temporary file took is free again.
    ASSERT_TRUE(base::WriteWholeFile(files, Path(u"doc.txt"), Text(100000, u'n')));
    EXPECT_EQ(Get(u"doc.txt"), Bytes(100000, 'n'));
}

TEST_F(RealFiles, MissingLockedOrFolderPathsReadAsNothing) {
    EXPECT_EQ(base::ReadWholeFile(files, Path(u"missing.txt")), u"");
    Put(u"locked.txt", "secret");
    {
        win::ScopedHandle other(
            CreateFileW(win::W(Path(u"locked.txt")), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(other.Valid());
        EXPECT_EQ(base::ReadWholeFile(files, Path(u"locked.txt")), u"");
    }
    EXPECT_EQ(base::ReadWholeFile(files, Path(u"locked.txt")), u"secret");
    EXPECT_FALSE(files.FileExists(dir));
    EXPECT_EQ(base::ReadWholeFile(files, dir), u"");
    EXPECT_FALSE(base::WriteWholeFile(files, dir, u"x"));  // a folder is never replaced by a file
    EXPECT_EQ(Names(), Listing{u"locked.txt"});
}

TEST_F(RealFiles, ProtectedDocumentRoundTripsThroughTheDisk) {
    Text text;
    for (int b = 0; b < 256; ++b) text += static_cast<char16_t>(b < 0x80 ? b : 0x0E01 + b % 0x3A);
    Bytes file;
    protect::MaskDocument(u"pw", text, file);
    ASSERT_TRUE(base::WriteWholeBytes(files, Path(u"s.txs"), file));
    Bytes back;
    ASSERT_TRUE(base::ReadWholeBytes(files, Path(u"s.txs"), back));
    EXPECT_EQ(back, file);
    Text opened;
    EXPECT_TRUE(protect::UnmaskDocument(back, u"pw", opened));
    EXPECT_EQ(opened, text);
}

TEST_F(RealFiles, ADocumentInAFolderPastMaxPathIsSavedReplacedAndReadBack) {
    const Text deep = DeepFolder();
    const Text doc = deep + u"\\document.txt";
    ASSERT_GT(doc.size(), 300u);
    EXPECT_TRUE(base::WriteWholeFile(files, doc, u"first"));
    EXPECT_TRUE(base::WriteWholeFile(files, doc, u"second, longer"));
    EXPECT_TRUE(files.FileExists(doc));
    EXPECT_EQ(files.FileLength(doc), 14);
    EXPECT_EQ(base::ReadWholeFile(files, doc), u"second, longer");
    // Nothing but the document is left in its folder.
    int entries = 0;
    WIN32_FIND_DATAW found;
    const std::wstring pattern = L"\\\\?\\" + std::wstring(win::W(deep)) + L"\\*";
    HANDLE h = FindFirstFileW(pattern.c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do entries += found.cFileName[0] != L'.';
        while (FindNextFileW(h, &found));
        FindClose(h);
    }
    EXPECT_EQ(entries, 1);
    EXPECT_TRUE(files.Delete(doc));
}

TEST_F(RealFiles, AClaimedFileIsHeldByOneHolderAndGoesWithIt) {
    const Text path = Path(u"editor.claim");
    std::unique_ptr<Files::Claim> claim = files.ClaimFile(path);
    ASSERT_TRUE(claim);
    EXPECT_TRUE(files.FileExists(path));
    // Whoever else opens it, for anything and sharing everything, is refused, as is a second claim.
    {
        win::ScopedHandle other(CreateFileW(win::W(path), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(other.Valid());
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    EXPECT_EQ(files.ClaimFile(path), nullptr);
    EXPECT_FALSE(files.Delete(path));
    EXPECT_TRUE(files.FileExists(path));

    claim.reset();
    EXPECT_FALSE(files.EntryExists(path));
    EXPECT_EQ(Names(), Listing{});
    claim = files.ClaimFile(path);
    ASSERT_TRUE(claim);
    EXPECT_TRUE(files.FileExists(path));
    claim.reset();
    EXPECT_FALSE(files.EntryExists(path));

    // A file a power cut left behind is claimed as it is, and goes with that claim.
    Put(u"editor.claim", "left behind");
    claim = files.ClaimFile(path);
    ASSERT_TRUE(claim);
    EXPECT_EQ(files.ClaimFile(path), nullptr);
    claim.reset();
    EXPECT_EQ(Names(), Listing{});
    // A folder of that name cannot be claimed.
    ASSERT_TRUE(files.CreateFolder(path));
    EXPECT_EQ(files.ClaimFile(path), nullptr);
    EXPECT_TRUE(RemoveDirectoryW(win::W(path)));
}

// Run only as the child of the test below: claims the file named by LOCKLEAF_CLAIM and waits to be killed.
TEST(ClaimHolder, DISABLED_HoldsTheClaimUntilKilled) {
    wchar_t path[MAX_PATH + 1];
    ASSERT_GT(GetEnvironmentVariableW(L"LOCKLEAF_CLAIM", path, MAX_PATH + 1), 0u);
    Win32Files files;
    const std::unique_ptr<Files::Claim> claim = files.ClaimFile(win::FromW(path));
    ASSERT_TRUE(claim);
    Sleep(60'000);
}

TEST_F(RealFiles, AClaimEndsWithAHolderThatIsKilled) {
    const Text path = Path(u"killed.claim");
    wchar_t exe[MAX_PATH + 1];
    ASSERT_GT(GetModuleFileNameW(nullptr, exe, MAX_PATH + 1), 0u);
    std::wstring command = L"\"" + std::wstring(exe) +
                           L"\" --gtest_also_run_disabled_tests "
                           L"--gtest_filter=ClaimHolder.DISABLED_HoldsTheClaimUntilKilled";
    ASSERT_TRUE(SetEnvironmentVariableW(L"LOCKLEAF_CLAIM", win::W(path)));
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    win::ScopedHandle nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                                      nullptr));
    STARTUPINFOW si{sizeof si};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul.Get();
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(exe, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi));
    SetEnvironmentVariableW(L"LOCKLEAF_CLAIM", nullptr);
    win::ScopedHandle child(pi.hProcess), thread(pi.hThread);

    // The child's claim is in place once this process can no longer take it.
    std::unique_ptr<Files::Claim> mine;
    for (int i = 0; i < 200 && WaitForSingleObject(child.Get(), 0) == WAIT_TIMEOUT; ++i) {
        if (files.FileExists(path) && !(mine = files.ClaimFile(path))) break;
        mine.reset();
        Sleep(100);
    }
    ASSERT_EQ(WaitForSingleObject(child.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the child ended early";
    ASSERT_TRUE(files.FileExists(path));
    EXPECT_EQ(files.ClaimFile(path), nullptr);

    ASSERT_TRUE(TerminateProcess(child.Get(), 9));
    ASSERT_EQ(WaitForSingleObject(child.Get(), 10'000), static_cast<DWORD>(WAIT_OBJECT_0));
    for (int i = 0; i < 50 && files.EntryExists(path); ++i) Sleep(100);
    EXPECT_FALSE(files.EntryExists(path));
    mine = files.ClaimFile(path);
    EXPECT_TRUE(mine);
}

TEST_F(RealFiles, AListingBySuffixNamesThePlainFilesWhoseLongNamesEndSoInAnyCase) {
    const Text longName = Text(150, u'l') + u".Snap";
    for (const Text& name : {Text(u"a.snap"), Text(u"B.SNAP"), Text(u"c.snapx"), Text(u"snap"),
                             Text(u"e.sna"), Text(u"f.snap.txt"), longName})
        Put(name, "x");
    ASSERT_TRUE(files.CreateFolder(Path(u"d.snap")));

    auto sorted = [](std::vector<Text> names) {
        std::sort(names.begin(), names.end());
        return names;
    };
    const Listing snaps{u"B.SNAP", u"a.snap", longName};
    EXPECT_EQ(sorted(files.ListFiles(dir, u".snap")), snaps);
    EXPECT_EQ(sorted(files.ListFiles(dir + u"\\", u".SNAP")), snaps);
    // A short suffix finds only the long names that end so, not those whose short names do ("C~1.SNA").
    EXPECT_EQ(sorted(files.ListFiles(dir, u".sna")), Listing{u"e.sna"});
    EXPECT_EQ(files.ListFiles(dir, u".none"), Listing{});
    EXPECT_EQ(files.ListFiles(dir + u"\\missing", u".snap"), Listing{});
    EXPECT_TRUE(RemoveDirectoryW(win::W(Path(u"d.snap"))));

    // A folder past MAX_PATH is listed as well.
    const Text deep = DeepFolder();
    ASSERT_TRUE(files.WriteFlushed(deep + u"\\deep.snap", "x"));
    ASSERT_TRUE(files.WriteFlushed(deep + u"\\deep.txt", "x"));
    EXPECT_EQ(files.ListFiles(deep, u".snap"), Listing{u"deep.snap"});
    EXPECT_TRUE(files.Delete(deep + u"\\deep.snap"));
    EXPECT_TRUE(files.Delete(deep + u"\\deep.txt"));
}
