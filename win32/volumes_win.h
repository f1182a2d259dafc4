// Volume serial numbers and disk sizes.
#pragma once
#include "platform/ports.h"

struct Win32Volumes : Volumes {
    bool VolumeInformation(const Text& root, uint32_t labelSize, uint32_t fsNameSize,
                           uint32_t& serial) override;
    bool DiskFreeSpaceEx(const Text& root, uint64_t& availableToCaller, uint64_t& total,
                         uint64_t& totalFree) override;
    bool DiskFreeSpace(const Text& root, uint32_t& sectorsPerCluster, uint32_t& bytesPerSector,
                       uint32_t& freeClusters, uint32_t& totalClusters) override;
};
