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
    uint32_t serial = volumes.Serial(RootOf(drive)).value_or(0);
    if (static_cast<int32_t>(serial) < 1) serial = kFallbackSerial;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%08X", static_cast<unsigned>(serial));
    return Ascii(buffer);
}

double GetDiskSize(Volumes& volumes, const Text& drive) {
    const uint64_t total = volumes.TotalBytes(RootOf(drive)).value_or(0);
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
    const Volumes::Geometry g = volumes.ClusterGeometry(RootOf(drive)).value_or(Volumes::Geometry{});
    return static_cast<double>(static_cast<int32_t>(g.bytesPerSector)) *
           static_cast<double>(static_cast<int32_t>(g.sectorsPerCluster)) *
           static_cast<double>(static_cast<int32_t>(g.clusters));
}

}  // namespace ads
