// The machine key's pieces from the real (Wine) volumes: what another program reads of drive C, and nothing
// for a drive that is not there.
#include <windows.h>

#include <gtest/gtest.h>

#include "ads/machine_key.h"
#include "win32/volumes_win.h"

TEST(RealVolumes, DriveCIsReadAsTheSystemReadsItAndAMissingDriveGivesNothing) {
    Win32Volumes volumes;
    DWORD serial = 0;
    ASSERT_TRUE(GetVolumeInformationW(L"C:\\", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(volumes.Serial(u"C:\\"), serial);
    ULARGE_INTEGER available{}, total{}, free{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:\\", &available, &total, &free));
    EXPECT_EQ(volumes.TotalBytes(u"C:\\"), total.QuadPart);
    const auto geometry = volumes.ClusterGeometry(u"C:\\");
    ASSERT_TRUE(geometry.has_value());
    EXPECT_GT(geometry->bytesPerSector, 0u);
    EXPECT_GT(geometry->clusters, 0u);
    // Six characters of the size and the serial, the same on every run.
    const Text key = ads::GetMachineKey(volumes);
    EXPECT_EQ(key.size(), 6u);
    EXPECT_EQ(ads::GetMachineKey(volumes), key);

    // A letter no drive has (Wine maps few).
    for (const char16_t* root : {u"Q:\\", u"\\\\nowhere\\none\\"}) {
        EXPECT_EQ(volumes.Serial(root), std::nullopt);
        EXPECT_EQ(volumes.TotalBytes(root), std::nullopt);
        EXPECT_EQ(volumes.ClusterGeometry(root).has_value(), false);
    }
}
