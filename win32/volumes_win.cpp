#include "win32/volumes_win.h"
#include <windows.h>

#include "win32/win_util.h"

std::optional<uint32_t> Win32Volumes::Serial(const Text& root) {
    // Asked with room for the label and the file system's name, as always, and without when that gives none.
    constexpr DWORD kNameSize = 255;
    wchar_t label[kNameSize + 1] = {}, fileSystem[kNameSize + 1] = {};
    DWORD serial = 0, longestName = 0, flags = 0;
    if (GetVolumeInformationW(win::W(root), label, kNameSize, &serial, &longestName, &flags, fileSystem,
                              kNameSize) &&
        serial != 0)
        return serial;
    serial = 0;
    if (GetVolumeInformationW(win::W(root), nullptr, 0, &serial, &longestName, &flags, nullptr, 0))
        return serial;
    return std::nullopt;
}

std::optional<uint64_t> Win32Volumes::TotalBytes(const Text& root) {
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExW(win::W(root), &available, &total, &free)) return std::nullopt;
    return total.QuadPart;
}

std::optional<Volumes::Geometry> Win32Volumes::ClusterGeometry(const Text& root) {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceW(win::W(root), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        return std::nullopt;
    return Geometry{bytesPerSector, sectorsPerCluster, clusters};
}
