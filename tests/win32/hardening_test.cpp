// The product exe as Windows' loader sees it: a relocatable image with a non-executable stack and heap, no
// symbol table, and only KnownDLLs (and comctl32, which the manifest redirects) among its load-time imports,
// none delay-loaded; WinINet, CNG and crypt32 come from the system folder at run time. Its functions carry
// canaries and its memory and string calls are checked: the stack protector and FORTIFY's calls are linked
// in.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <sstream>
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

std::string ReadBeside(const wchar_t* name) {
    const std::wstring path = ExeFolder() + name;
    std::string bytes;
    Win32Files files;
    files.ReadAll(Text(path.begin(), path.end()), bytes);
    return bytes;
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
    bool Load() {
        bytes = ReadBeside(L"lockleaf.exe");
        const auto* dos = At<IMAGE_DOS_HEADER>(0);
        if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
        nt = At<IMAGE_NT_HEADERS>(static_cast<size_t>(dos->e_lfanew));
        return nt && nt->Signature == IMAGE_NT_SIGNATURE;
    }
    std::string Name(DWORD rva) const {
        const size_t at = Offset(rva);
        return at < bytes.size() ? std::string(bytes.c_str() + at) : std::string();
    }
};

}  // namespace

TEST(Hardening, TheExeIsRelocatableNonExecutableStrippedAndImportsOnlyKnownDlls) {
    Image image;
    ASSERT_TRUE(image.Load()) << "lockleaf.exe beside the tests";
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
    // A delay-loaded DLL would not be in the table above.
    EXPECT_EQ(opt.DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].Size, 0u);
    EXPECT_EQ(dlls.count("wininet.dll"), 0u);
    EXPECT_EQ(dlls.count("bcrypt.dll"), 0u);
    EXPECT_EQ(dlls.count("crypt32.dll"), 0u);
    for (const std::string& dll : dlls) EXPECT_EQ(known.count(dll), 1u) << dll << " is not a KnownDLL";
    EXPECT_EQ(kernel32.count("SetDefaultDllDirectories"), 1u);
    EXPECT_EQ(kernel32.count("LoadLibraryExW"), 1u);
}

TEST(Hardening, WinInetCngAndCrypt32AreLoadedFromTheSystemFolder) {
    ASSERT_TRUE(win::WinInet().loaded);
    ASSERT_TRUE(win::BCrypt().loaded);
    ASSERT_TRUE(win::Crypt32().loaded);
    wchar_t system[MAX_PATH];
    const UINT n = GetSystemDirectoryW(system, MAX_PATH);
    ASSERT_GT(n, 0u);
    for (const wchar_t* name : {L"wininet.dll", L"bcrypt.dll", L"crypt32.dll"}) {
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

TEST(Hardening, TheStackProtectorAndFortifysCheckedCallsAreLinkedIn) {
    Image image;
    ASSERT_TRUE(image.Load()) << "lockleaf.exe beside the tests";
    // libssp's report of a smashed canary is in the exe only when its check is.
    EXPECT_NE(image.bytes.find("*** stack smashing detected ***"), std::string::npos);

    // The exe has no symbols; the link's map beside it names what the link pulled in. It is of this exe:
    // its code and constants lie where the exe's header puts them, with the sizes the file gives them.
    const std::string map = ReadBeside(L"lockleaf.map");
    ASSERT_FALSE(map.empty()) << "lockleaf.map beside the tests";
    const ULONGLONG base = image.nt->OptionalHeader.ImageBase;
    const auto* section = IMAGE_FIRST_SECTION(image.nt);
    int matched = 0;
    for (WORD i = 0; i < image.nt->FileHeader.NumberOfSections; ++i, ++section) {
        const std::string name(reinterpret_cast<const char*>(section->Name),
                               strnlen(reinterpret_cast<const char*>(section->Name), 8));
        if (name != ".text" && name != ".rdata") continue;
        const size_t at = map.find("\n" + name + " ");
        ASSERT_NE(at, std::string::npos) << name;
        std::istringstream line(map.substr(at + 1, 80));
        std::string mapName, address, size;
        line >> mapName >> address >> size;
        EXPECT_EQ(std::stoull(address, nullptr, 16), base + section->VirtualAddress) << name;
        EXPECT_EQ(std::stoull(size, nullptr, 16), section->SizeOfRawData) << name;
        ++matched;
    }
    EXPECT_EQ(matched, 2);

    // "Archive member included to satisfy reference by file (symbol)": a "(symbol)" at a line's end.
    std::set<std::string> pulled;
    std::istringstream members(map.substr(0, map.find("\nMemory Configuration")));
    for (std::string line; std::getline(members, line);) {
        const size_t open = line.rfind(" (__");
        if (open != std::string::npos && line.back() == ')')
            pulled.insert(line.substr(open + 2, line.size() - open - 3));
    }
    EXPECT_EQ(pulled.count("__stack_chk_fail"), 1u);
    const auto checked = std::count_if(pulled.begin(), pulled.end(), [](const std::string& n) {
        return n.size() > 6 && n.compare(n.size() - 4, 4, "_chk") == 0;
    });
    EXPECT_GT(checked, 0) << "no checked call (__memcpy_chk, ...): FORTIFY is off";
    // The canary itself, which every protected function reads.
    EXPECT_NE(map.find(" __stack_chk_guard\n"), std::string::npos);
}
