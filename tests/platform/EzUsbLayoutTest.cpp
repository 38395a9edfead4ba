// The driver buffer layouts every USB backend shares.
#include "EzUsbLayout.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace gyro;

TEST(EzUsbLayout, DeviceNames)
{
    for (int slot = 0; slot < 4; ++slot) {
        EXPECT_EQ(EzUsbSlotOfName(EzUsbDeviceName(slot)), slot);
    }
    EXPECT_EQ(EzUsbDeviceName(2), "Ezusb-2");
    for (const char* bad : {"Ezusb-4", "Ezusb-", "ezusb-0", "Ezusb-00", "Ezusb-/", "", "Ezusb-1 "})
        EXPECT_EQ(EzUsbSlotOfName(QString::fromLatin1(bad)), -1) << bad;
}

TEST(EzUsbLayout, PipeTableEntriesSitAtTheirOffsets)
{
    const std::vector<EzUsbPipe> pipes{{64, 0x02, 0, EzUsbPipeType::Bulk},
                                       {0x1234, 0x86, 7, EzUsbPipeType::Interrupt}};
    std::array<std::uint8_t, 356> table;
    table.fill(0xEE);
    ASSERT_TRUE(BuildEzUsbPipeTable(pipes, 1, 2, table));

    // Header: used length 16 + 2 x 20 = 56, interface 1, alternate setting 2, 2 pipes at 12.
    EXPECT_EQ(table[0], 56);
    EXPECT_EQ(table[1], 0);
    EXPECT_EQ(table[2], 1);
    EXPECT_EQ(table[3], 2);
    EXPECT_EQ(table[12], 2);
    // Entry 1 starts at 16 + 20 = 36: packet size 0x1234 little-endian, address, interval, type 3.
    EXPECT_EQ(table[36], 0x34);
    EXPECT_EQ(table[37], 0x12);
    EXPECT_EQ(table[38], 0x86);
    EXPECT_EQ(table[39], 7);
    EXPECT_EQ(table[40], 3);
    EXPECT_EQ(table[44], 2); // pipe handle p + 1
    // Entry 0 at 16: packet 64, address 0x02, type 2 (bulk).
    EXPECT_EQ(table[16], 64);
    EXPECT_EQ(table[18], 0x02);
    EXPECT_EQ(table[20], 2);
    // Everything past the used entries is zero, up to the last byte.
    for (std::size_t i = 56; i < table.size(); ++i)
        ASSERT_EQ(table[i], 0) << i;

    std::array<std::uint8_t, 355> small{};
    EXPECT_FALSE(BuildEzUsbPipeTable(pipes, 0, 0, small));
}

TEST(EzUsbLayout, MoreThanSeventeenPipesAreCutToTheTable)
{
    const std::vector<EzUsbPipe> pipes(20, EzUsbPipe{8, 0x81, 1, EzUsbPipeType::Interrupt});
    std::array<std::uint8_t, 356> table{};
    ASSERT_TRUE(BuildEzUsbPipeTable(pipes, 0, 0, table));
    EXPECT_EQ(table[12], 17);
    EXPECT_EQ(table[16 + 20 * 16], 8); // the last entry, ending exactly at byte 356
}

TEST(EzUsbLayout, PipeTransferInputAndDescriptorCopy)
{
    EXPECT_EQ(EzUsbPipeOfTransferInput(std::vector<std::uint8_t>{3, 0, 0, 0}), 3u);
    EXPECT_EQ(EzUsbPipeOfTransferInput(std::vector<std::uint8_t>{1, 2, 0, 0}), 0x0201u);
    EXPECT_FALSE(EzUsbPipeOfTransferInput(std::vector<std::uint8_t>{1, 0, 0}));

    // A 6-byte descriptor ("AB") followed by bytes that are not part of it.
    const std::vector<std::uint8_t> raw{6, 3, 'A', 0, 'B', 0, 0x55, 0x55};
    std::array<std::uint8_t, 4> head{};
    EXPECT_EQ(CopyUsbDescriptor(raw, head), 4u);
    EXPECT_EQ(head, (std::array<std::uint8_t, 4>{6, 3, 'A', 0}));
    std::array<std::uint8_t, 10> all{};
    EXPECT_EQ(CopyUsbDescriptor(raw, all), 6u);                                  // stops at the length byte
    EXPECT_EQ(CopyUsbDescriptor(std::vector<std::uint8_t>{9, 3, 'A'}, all), 3u); // cut-off descriptor
    EXPECT_EQ(CopyUsbDescriptor({}, all), 0u);
}
