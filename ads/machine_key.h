// The machine key sent with every statistics request: built from drive C's size and volume serial number,
// so it is the same on every run of one computer without anything being stored.
#pragma once
#include "platform/ports.h"

namespace ads {

constexpr uint32_t kFallbackSerial = 12345;

Text GetMachineKey(Volumes& volumes);
// 8 upper-case hexadecimal digits; a missing serial (0, failed, or top bit set) counts as 12345.
Text GetVolumeSerial(Volumes& volumes, const Text& drive);
double GetDiskSize(Volumes& volumes, const Text& drive);
double LargeAsDouble(int32_t low, int32_t high);
double GetDiskSizeByClusters(Volumes& volumes, const Text& drive);

// The general number-to-text rule: plain digits below 10^15, else 15 significant digits in exponent form
// (1.23456789012346E+15).
Text NumberText(double value);

}  // namespace ads
