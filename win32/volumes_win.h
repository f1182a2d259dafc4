// Volume serial numbers and disk sizes.
#pragma once
#include "platform/ports.h"

struct Win32Volumes : Volumes {
    std::optional<uint32_t> Serial(const Text& root) override;
    std::optional<uint64_t> TotalBytes(const Text& root) override;
    std::optional<Geometry> ClusterGeometry(const Text& root) override;
};
