#include "ads/machine_key.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

TEST(MachineKey, IsBuiltFromTheStartOfTheSizeAndTheEndOfTheSerialWithoutZeros) {
    FakeVolumes v;  // 80023715840 bytes, serial 1A2B0C3D
    EXPECT_EQ(ads::GetMachineKey(v), u"823C3D");
}

TEST(MachineKey, MissingPiecesFallBackAsTheRulesSay) {
    {
        SCOPED_TRACE("serial with its top bit set counts as missing");
        FakeVolumes v;
        v.serial = 0x9E3C1A2F;
        EXPECT_EQ(ads::GetMachineKey(v), u"823339");
    }
    {
        SCOPED_TRACE("both disk queries fail: the size text 0 vanishes");
        FakeVolumes v;
        v.hasDiskEx = v.hasClusters = false;
        EXPECT_EQ(ads::GetMachineKey(v), u"1A2C3D");
    }
    {
        SCOPED_TRACE("no drive C at all");
        FakeVolumes v;
        v.hasVolume = false;
        EXPECT_EQ(ads::GetMachineKey(v), u"339339");
    }
    {
        SCOPED_TRACE("fewer than three characters left: each half is all of them");
        FakeVolumes v;
        v.hasDiskEx = v.hasClusters = false;
        v.serial = 7;
        EXPECT_EQ(ads::GetMachineKey(v), u"77");
    }
    {
        SCOPED_TRACE("an exponent-form size enters the key like digits");
        FakeVolumes v;
        v.total = 1234567890123456ULL;
        EXPECT_EQ(ads::GetMachineKey(v), u"1.2C3D");
    }
}

TEST(MachineKey, SerialIsEightUpperCaseHexDigitsAndAZeroOrNegativeOneIsMissing) {
    FakeVolumes v;
    v.serial = 0x3039;
    EXPECT_EQ(ads::GetVolumeSerial(v, u"c"), u"00003039");
    v.serial = 0xABCDEF;
    EXPECT_EQ(ads::GetVolumeSerial(v, u"c"), u"00ABCDEF");
    for (const uint32_t missing : {0u, 0x80000000u, 0xFFFFFFFFu}) {
        v.serial = missing;
        EXPECT_EQ(ads::GetVolumeSerial(v, u"c"), u"00003039");
    }
}

TEST(MachineKey, DiskSizeFallsBackToTheClusterGeometry) {
    FakeVolumes v;
    v.hasDiskEx = false;
    v.sectorsPerCluster = 8;
    v.bytesPerSector = 512;
    v.totalClusters = 1000;
    EXPECT_EQ(ads::GetDiskSize(v, u"c"), 4096000.0);
    v.hasDiskEx = true;
    v.total = 0;  // the 64-bit query answered 0
    EXPECT_EQ(ads::GetDiskSize(v, u"c"), 4096000.0);
    v.hasClusters = false;
    EXPECT_EQ(ads::GetDiskSize(v, u"c"), 0.0);
    v.total = 5ULL << 40;
    EXPECT_EQ(ads::GetDiskSize(v, u"c"), 5497558138880.0);
}

TEST(MachineKey, LargeAsDoubleReadsBothHalvesUnsigned) {
    EXPECT_EQ(ads::LargeAsDouble(-1, 0), 4294967295.0);
    EXPECT_EQ(ads::LargeAsDouble(0, 1), 4294967296.0);
    EXPECT_EQ(ads::LargeAsDouble(0x2A, -2), 4294967294.0 * 4294967296.0 + 42);
    EXPECT_EQ(ads::LargeAsDouble(static_cast<int32_t>(0xA1B2C3D4u), 18), 18 * 4294967296.0 + 0xA1B2C3D4u);
}

TEST(MachineKey, NumbersBecomeTextAsTheGeneralConversionDoes) {
    EXPECT_EQ(ads::NumberText(0), u"0");
    EXPECT_EQ(ads::NumberText(80023715840.0), u"80023715840");
    EXPECT_EQ(ads::NumberText(999999999999999.0), u"999999999999999");
    EXPECT_EQ(ads::NumberText(1e15), u"1E+15");
    EXPECT_EQ(ads::NumberText(1234567890123456.0), u"1.23456789012346E+15");
    EXPECT_EQ(ads::NumberText(2.5e20), u"2.5E+20");
}
