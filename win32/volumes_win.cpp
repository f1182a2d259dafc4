#include "win32/volumes_win.h"
#include <windows.h>

#include <vector>

#include "win32/win_util.h"

bool Win32Volumes::VolumeInformation(const Text& root, uint32_t labelSize, uint32_t fsNameSize,
                                     uint32_t& serial) {
    std::vector<wchar_t> label(labelSize + 1), fs(fsNameSize + 1);
    DWORD s = 0, maxLen = 0, fsFlags = 0;
    const bool ok =
        GetVolumeInformationW(win::W(root), labelSize ? label.data() : nullptr, labelSize, &s, &maxLen,
                              &fsFlags, fsNameSize ? fs.data() : nullptr, fsNameSize) != 0;
    serial = ok ? s : 0;
    return ok;
}

bool Win32Volumes::DiskFreeSpaceEx(const Text& root, uint64_t& availableToCaller, uint64_t& total,
                                   uint64_t& totalFree) {
    ULARGE_INTEGER a{}, t{}, f{};
    const bool ok = GetDiskFreeSpaceExW(win::W(root), &a, &t, &f) != 0;
    availableToCaller = ok ? a.QuadPart : 0;
    total = ok ? t.QuadPart : 0;
    totalFree = ok ? f.QuadPart : 0;
    return ok;
}

bool Win32Volumes::DiskFreeSpace(const Text& root, uint32_t& sectorsPerCluster, uint32_t& bytesPerSector,
                                 uint32_t& freeClusters, uint32_t& totalClusters) {
    DWORD spc = 0, bps = 0, fc = 0, tc = 0;
    const bool ok = GetDiskFreeSpaceW(win::W(root), &spc, &bps, &fc, &tc) != 0;
    sectorsPerCluster = spc;
    bytesPerSector = bps;
    freeClusters = fc;
    totalClusters = tc;
    return ok;
}
