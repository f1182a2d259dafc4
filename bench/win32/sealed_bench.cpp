// Saving a sealed document (1 MiB unless told) through the document store and CNG, as the editor does: the
// first save (a new password: salt, PBKDF2, seal, atomic write) and a repeated F2 (the kept key: seal, atomic
// write), next to saving the same text as a plain file in the same run, and next to what F2 cannot avoid: CNG
// sealing a file's bytes in place, and a bare WriteFile + FlushFileBuffers of them. Prints milliseconds and
// ratios.
//   sealed_bench.exe <folder> [runs] [MiB]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "app/program.h"
#include "base/unicode.h"
#include "protect/sealed.h"
#include "protect/secure_document.h"
#include "win32/crypto_win.h"
#include "win32/files_win.h"

namespace {

// The user: types the password whenever asked, answers every question with Yes.
struct Typist : Prompts {
    MsgResult Message(const Text&, MsgButtons buttons, MsgIcon) override {
        return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
    }
    Text Input(const Text&) override { return u"bench password"; }  // Never asked here: cancelled.
    bool AskLine(const Text&, const Text&, const std::function<bool(const Text&)>&) override { return false; }
};

double Now() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

template <class F>
double Fastest(int runs, F f) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const double t0 = Now();
        if (!f()) return -1;
        best = std::min(best, Now() - t0);
    }
    return best;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const Text folder(reinterpret_cast<const char16_t*>(argv[1]));
    const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;
    const int mib = argc > 3 ? std::max(1, _wtoi(argv[3])) : 1;
    // That many MiB of UTF-8: Thai and Latin lines, as a document holds them.
    const Text line =
        u"\u0e43\u0e1a\u0e44\u0e21\u0e49\u0e2a\u0e35\u0e40\u0e02\u0e35\u0e22\u0e27 quick brown fox\r\n";
    const size_t lineBytes = base::ToUtf8(line).size(), lines = (static_cast<size_t>(mib) << 20) / lineBytes;
    Text text;
    text.reserve(lines * line.size());
    for (size_t i = 0; i < lines; ++i) text += line;

    Win32Files files;
    Win32Crypto crypto;
    Typist typist;
    const Text plain = folder + u"\\bench.txt", sealed = folder + u"\\bench.txse";
    DocumentStore store(files, typist, crypto, app::kLargestDocument);
    base::TextFormat format;  // a plain file in the code page with CR LF, as a new document
    Text password;
    const DocumentStore::Lend lend = [&](const auto& read) { read(text); };
    const double plainMs = Fastest(runs, [&] {
        Text none;
        return store.Save(plain, none, false, lend, format) == DocumentStore::Saved::Written;
    });
    // Save As: a new password each time, so every run derives a key.
    const double firstMs = Fastest(runs, [&] {
        password.clear();
        return store.Save(sealed, password, true, lend, format) == DocumentStore::Saved::Written;
    });
    const double f2Ms = Fastest(runs, [&] {
        return store.Save(sealed, password, false, lend, format) == DocumentStore::Saved::Written;
    });
    // The floor under F2: the same number of bytes sealed where they lie, then written and flushed.
    const size_t fileSize = protect::kSealedMinSize + base::Utf8Length(text);
    Bytes bytes = base::ToUtf8(text);
    const uint8_t key[Crypto::kKeySize] = {1}, nonce[Crypto::kNonceSize] = {2};
    uint8_t tag[Crypto::kTagSize];
    const double cngMs = Fastest(runs, [&] { return crypto.Seal(key, nonce, "aad", bytes, tag); });
    bytes.resize(fileSize);
    const std::wstring bare = std::wstring(argv[1]) + L"\\bare.bin";
    const double writeMs = Fastest(runs, [&] {
        const HANDLE f = CreateFileW(bare.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD done = 0;
        const bool ok = f != INVALID_HANDLE_VALUE &&
                        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
                        done == bytes.size() && FlushFileBuffers(f);
        if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
        return ok;
    });
    if (plainMs < 0 || firstMs < 0 || f2Ms < 0 || cngMs < 0 || writeMs < 0) {
        std::printf("a save failed\n");
        return 1;
    }
    std::printf(
        "%d MiB document, fastest of %d: plain save %.1f ms; sealed first save %.1f ms (%.1fx plain); "
        "sealed F2 %.1f ms (%.2fx plain, %.3f of the first save)\n",
        mib, runs, plainMs, firstMs, firstMs / plainMs, f2Ms, f2Ms / plainMs, f2Ms / firstMs);
    std::printf(
        "the sealed file's %.1f MiB: CNG seal in place %.1f ms + bare write and flush %.1f ms = %.1f ms; "
        "F2 %.2fx that\n",
        static_cast<double>(fileSize) / (1 << 20), cngMs, writeMs, cngMs + writeMs, f2Ms / (cngMs + writeMs));
    return 0;
}
