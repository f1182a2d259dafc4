#include "ads/machine_key.h"

#include <cmath>
#include <cstdio>

namespace ads {
namespace {

Text RootOf(const Text& drive) { return drive + u":\\"; }

Text Ascii(const char* s) { return Text(s, s + std::char_traits<char>::length(s)); }

}  // namespace

Text NumberText(double value) {
    char buffer[64];
    // %G switches to exponent form exactly where 15 significant digits no longer hold the whole number.
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    return Ascii(buffer);
}

Text GetMachineKey(Volumes& volumes) {
    Text s = NumberText(GetDiskSize(volumes, u"c")) + GetVolumeSerial(volumes, u"c");
    std::erase(s, u'0');
    if (s.size() < 3) return s + s;
    return s.substr(0, 3) + s.substr(s.size() - 3);
}

Text GetVolumeSerial(Volumes& volumes, const Text& drive) {
    uint32_t serial = 0;
    volumes.VolumeInformation(RootOf(drive), kVolumeBufferSize, kVolumeBufferSize, serial);
    if (static_cast<int32_t>(serial) < 1) {
        serial = 0;
        volumes.VolumeInformation(RootOf(drive), 0, 0, serial);
    }
    if (static_cast<int32_t>(serial) < 1) serial = kFallbackSerial;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%08X", static_cast<unsigned>(serial));
    return Ascii(buffer);
}

double GetDiskSize(Volumes& volumes, const Text& drive) {
    uint64_t available = 0, total = 0, free = 0;
    if (!volumes.DiskFreeSpaceEx(RootOf(drive), available, total, free)) total = 0;
    double size = LargeAsDouble(static_cast<int32_t>(total & 0xFFFFFFFFu), static_cast<int32_t>(total >> 32));
    if (size < 1) size = GetDiskSizeByClusters(volumes, drive);
    return size;
}

double LargeAsDouble(int32_t low, int32_t high) {
    const double twoTo32 = std::pow(2.0, 32);
    const double lo = low < 0 ? low + twoTo32 : low;
    const double hi = high < 0 ? high + twoTo32 : high;
    return hi * twoTo32 + lo;
}

double GetDiskSizeByClusters(Volumes& volumes, const Text& drive) {
    uint32_t sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!volumes.DiskFreeSpace(RootOf(drive), sectorsPerCluster, bytesPerSector, freeClusters, totalClusters))
        sectorsPerCluster = bytesPerSector = totalClusters = 0;
    return static_cast<double>(static_cast<int32_t>(bytesPerSector)) *
           static_cast<double>(static_cast<int32_t>(sectorsPerCluster)) *
           static_cast<double>(static_cast<int32_t>(totalClusters));
}

}  // namespace ads
