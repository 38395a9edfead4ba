// Register reads and writes end to end through the simulated card.
#include "MustRead.h"
#include "RegisterAccess.h"
#include "UsbCardFixture.h"

#include <gtest/gtest.h>

using namespace gyro;
using gyro::test::ReadyCardFixture;
using Bytes = std::vector<std::uint8_t>;

TEST(UsbRegisterAccess, WriteSendsBothFramesInOneTransfer)
{
    ReadyCardFixture f;
    f.g.InterfaceType = 2;
    f.g.UsbSpiChannel = 3; // register traffic always goes to the sensor on channel 1
    WriteRegister(f.g, Idx_Smpl_Prd, 0x0A);
    // Smpl_Prd is address 0x36: 0x8000 + 0x37 x 256 + 0x00, then 0x8000 + 0x36 x 256 + 0x0A.
    EXPECT_EQ(f.sensor.frames, std::vector<std::uint16_t>({0xB700, 0xB60A}));
    EXPECT_EQ(f.requestBytes(), std::vector<Bytes>({{13, 1, 2, 0xB7, 0x00, 0xB6, 0x0A}}));
    EXPECT_TRUE(f.everyOpenClosed());
}

TEST(UsbRegisterAccess, ReadTakesTheSecondAnswer)
{
    ReadyCardFixture f;
    f.g.InterfaceType = 2;
    f.sensor.answers = {0x7777, 0xE001};
    const RegisterReading r = test::MustRead(f.g, Idx_Gyro_Out);
    // Gyro_Out is address 0x04: read frame 0x0400 twice.
    EXPECT_EQ(f.sensor.frames, std::vector<std::uint16_t>({0x0400, 0x0400}));
    // 0xE001: new data (bit 15), error (bit 14), 14-bit count 0x2001 = 1 - 8192.
    EXPECT_EQ(r.RegWord, -8191);
    EXPECT_EQ(r.RegNewData, 0x8000);
    EXPECT_EQ(r.RegErrorFlag, 0x4000);

    // A card that stops answering reports once; each read after it is known as
    // failed and gives no reading, not the old word.
    f.bus.stopAnswering(0);
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(test::NoAnswerFrom(f.g, Idx_Gyro_Out));
    EXPECT_EQ(f.ui.texts(), QStringList({"Error Writing SPI"}));
    EXPECT_TRUE(f.everyOpenClosed());
}
