// The product exe as Windows' loader sees it: a relocatable image with a non-executable stack and heap, no
// symbol table, and only KnownDLLs (and comctl32, which the manifest redirects) among its load-time imports;
// WinINet and CNG come from the system folder at run time.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

#include "win32/files_win.h"
#include "win32/system_dlls.h"

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L"\\/") + 1);
}

struct Image {
    std::string bytes;
    const IMAGE_NT_HEADERS* nt = nullptr;

    template <class T>
    const T* At(size_t offset) const {
        return offset + sizeof(T) <= bytes.size() ? reinterpret_cast<const T*>(bytes.data() + offset)
                                                  : nullptr;
    }
    // The file offset of a relative virtual address, through the section that holds it.
    size_t Offset(DWORD rva) const {
        const auto* s = IMAGE_FIRST_SECTION(nt);
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++s)
            if (rva >= s->VirtualAddress &&
                rva < s->VirtualAddress + std::max(s->Misc.VirtualSize, s->SizeOfRawData))
                return rva - s->VirtualAddress + s->PointerToRawData;
        return bytes.size();
    }
    std::string Name(DWORD rva) const {
        const size_t at = Offset(rva);
        return at < bytes.size() ? std::string(bytes.c_str() + at) : std::string();
    }
};

}  // namespace

TEST(Hardening, TheExeIsRelocatableNonExecutableStrippedAndImportsOnlyKnownDlls) {
    const std::wstring path = ExeFolder() + L"lockleaf.exe";
    Image image;
    Win32Files files;
    ASSERT_TRUE(files.ReadAll(Text(path.begin(), path.end()), image.bytes))
        << "lockleaf.exe beside the tests";
    const auto* dos = image.At<IMAGE_DOS_HEADER>(0);
    ASSERT_TRUE(dos && dos->e_magic == IMAGE_DOS_SIGNATURE);
    image.nt = image.At<IMAGE_NT_HEADERS>(static_cast<size_t>(dos->e_lfanew));
    ASSERT_TRUE(image.nt && image.nt->Signature == IMAGE_NT_SIGNATURE);
    const auto& opt = image.nt->OptionalHeader;
    // The same build as this test: PE32 for the product, PE32+ for its 64-bit twin.
    ASSERT_EQ(opt.Magic, sizeof(void*) == 4 ? IMAGE_NT_OPTIONAL_HDR32_MAGIC : IMAGE_NT_OPTIONAL_HDR64_MAGIC);

    const WORD flags = opt.DllCharacteristics;
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_NX_COMPAT);
    if (sizeof(void*) == 8) {
        EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA);
    }
    // Without relocations the loader cannot move the image, whatever the flag says.
    EXPECT_GT(opt.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC].Size, 0u);
    EXPECT_TRUE(image.nt->FileHeader.Characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE);
    EXPECT_EQ(image.nt->FileHeader.PointerToSymbolTable, 0u);  // stripped
    EXPECT_EQ(image.nt->FileHeader.NumberOfSymbols, 0u);

    // The load-time imports, and the functions taken from kernel32.
    const std::set<std::string> known = {"advapi32.dll", "comdlg32.dll", "gdi32.dll",    "kernel32.dll",
                                         "msvcrt.dll",   "ole32.dll",    "oleaut32.dll", "shell32.dll",
                                         "shlwapi.dll",  "user32.dll",   "comctl32.dll"};
    std::set<std::string> dlls, kernel32;
    const auto& dir = opt.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    ASSERT_GT(dir.Size, 0u);
    for (size_t at = image.Offset(dir.VirtualAddress);; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto* d = image.At<IMAGE_IMPORT_DESCRIPTOR>(at);
        ASSERT_TRUE(d);
        if (d->Name == 0) break;
        const std::string dll = Lower(image.Name(d->Name));
        dlls.insert(dll);
        if (dll != "kernel32.dll") continue;
        for (size_t t = image.Offset(d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk);;
             t += sizeof(IMAGE_THUNK_DATA)) {
            const auto* thunk = image.At<IMAGE_THUNK_DATA>(t);
            ASSERT_TRUE(thunk);
            if (thunk->u1.AddressOfData == 0) break;
            if (!IMAGE_SNAP_BY_ORDINAL(thunk->u1.Ordinal))
                kernel32.insert(
                    image.Name(static_cast<DWORD>(thunk->u1.AddressOfData) + 2));  // after the hint
        }
    }
    EXPECT_EQ(dlls.count("wininet.dll"), 0u);
    EXPECT_EQ(dlls.count("bcrypt.dll"), 0u);
    for (const std::string& dll : dlls) EXPECT_EQ(known.count(dll), 1u) << dll << " is not a KnownDLL";
    EXPECT_EQ(kernel32.count("SetDefaultDllDirectories"), 1u);
    EXPECT_EQ(kernel32.count("LoadLibraryExW"), 1u);
}

TEST(Hardening, WinInetAndCngAreLoadedFromTheSystemFolder) {
    ASSERT_TRUE(win::WinInet().loaded);
    ASSERT_TRUE(win::BCrypt().loaded);
    wchar_t system[MAX_PATH];
    const UINT n = GetSystemDirectoryW(system, MAX_PATH);
    ASSERT_GT(n, 0u);
    for (const wchar_t* name : {L"wininet.dll", L"bcrypt.dll"}) {
        const HMODULE m = GetModuleHandleW(name);
        ASSERT_TRUE(m);
        wchar_t path[MAX_PATH];
        const std::wstring from(path, GetModuleFileNameW(m, path, MAX_PATH));
        EXPECT_EQ(_wcsnicmp(from.c_str(), system, n), 0);
        EXPECT_EQ(from[n], L'\\');
    }
    // A real call goes through the pointers.
    unsigned char random[16] = {};
    EXPECT_TRUE(BCRYPT_SUCCESS(
        win::BCrypt().BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG)));
    EXPECT_NE(std::count(random, random + 16, 0), 16);
}
