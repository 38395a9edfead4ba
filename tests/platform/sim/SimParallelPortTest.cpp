// The simulated parallel port decodes the SPI lines on its data register into
// frames for the device behind it and drives the status bit from the answer.
#include "SimParallelPort.h"

#include <gtest/gtest.h>

#include <vector>

namespace gyro::sim {
namespace {

constexpr std::int32_t Base = 0x378;
constexpr std::int32_t Status = Base + 1;

// Lines: chip select 1, clock 2, data to the device 4 (inverted: low is a 1 bit).
constexpr std::int32_t CS = 1, CLK = 2, DATA = 4;

class FixedAnswerDevice final : public SpiDevice {
public:
    std::uint16_t pendingAnswer() override { return answer; }
    void frameReceived(std::uint16_t frame) override { received.push_back(frame); }
    std::uint16_t answer = 0;
    std::vector<std::uint16_t> received;
};

// Clocks `bits` bits of word (from bit 15 down) as an SPI master on this wiring
// would, reading the status register while the clock is high; bits past the
// sixteenth are zeros. Returns the bits read back (status bit 6 low = 1).
std::uint16_t clockBits(SimParallelPort& port, std::uint16_t word, int bits)
{
    std::uint16_t read = 0;
    for (int i = 0; i < bits; ++i) {
        const bool one = i < 16 && ((word >> (15 - i)) & 1) != 0;
        const std::int32_t data = one ? 0 : DATA;
        port.vbOut(Base, CS | CLK | data);
        read = static_cast<std::uint16_t>((read << 1) | ((port.vbInp(Status) & 0x40) == 0 ? 1 : 0));
        port.vbOut(Base, CS | data); // falling edge, data held
        port.vbOut(Base, CS | DATA); // data back to idle
    }
    return read;
}

TEST(SimParallelPort, DecodesFramesAndShiftsTheAnswerOutMostSignificantBitFirst)
{
    FixedAnswerDevice device;
    SimParallelPort port(device);
    device.answer = 0x3C5A;

    port.vbOut(Base, DATA);
    port.vbOut(Base, CS | DATA);
    const std::uint16_t answer = clockBits(port, 0xA5C3, 16);
    port.vbOut(Base, 0);

    EXPECT_EQ(answer, 0x3C5A);
    EXPECT_EQ(device.received, std::vector<std::uint16_t>{0xA5C3});
    ASSERT_EQ(port.frames().size(), 1u);
    EXPECT_EQ(port.frames()[0].received, 0xA5C3);
    EXPECT_EQ(port.frames()[0].answered, 0x3C5A);
    EXPECT_EQ(port.dataWrites().size(), 2u + 16 * 3 + 1);
    EXPECT_EQ(port.dataWrites().front(), DATA);
}

// The transport's own sequences: a write bit is 7, 3|7, 1|5, 5; a read bit is
// 7, status read, 5 with the data line idle (the device receives 0x0000).
TEST(SimParallelPort, DecodesTheTransportsWriteAndReadSequences)
{
    FixedAnswerDevice device;
    SimParallelPort port(device);
    device.answer = 0x8001;

    port.vbOut(Base, 4);
    port.vbOut(Base, 5);
    for (int i = 0; i < 16; ++i) {
        const bool one = i == 0 || i == 15; // 0x8001
        for (std::int32_t v : {7, one ? 3 : 7, one ? 1 : 5, 5})
            port.vbOut(Base, v);
    }
    port.vbOut(Base, 0);

    port.vbOut(Base, 4);
    port.vbOut(Base, 5);
    std::uint16_t read = 0;
    for (int i = 0; i < 16; ++i) {
        port.vbOut(Base, 7);
        read = static_cast<std::uint16_t>((read << 1) | ((port.vbInp(Status) & 0x40) == 0 ? 1 : 0));
        port.vbOut(Base, 5);
    }
    port.vbOut(Base, 0);

    EXPECT_EQ(device.received, (std::vector<std::uint16_t>{0x8001, 0x0000}));
    EXPECT_EQ(read, 0x8001);
}

TEST(SimParallelPort, PartialFramesAreDiscarded)
{
    FixedAnswerDevice device;
    SimParallelPort port(device);

    for (int bits : {15, 17, 0}) {
        port.vbOut(Base, CS | DATA);
        clockBits(port, 0xFFFF, bits);
        port.vbOut(Base, 0);
    }
    EXPECT_TRUE(device.received.empty());
    EXPECT_TRUE(port.frames().empty());
    EXPECT_EQ(port.discardedFrames(), 3);

    // Clock edges without chip select are no bits: the next frame is whole.
    port.vbOut(Base, CLK);
    port.vbOut(Base, 0);
    port.vbOut(Base, CS | DATA);
    clockBits(port, 0x1234, 16);
    port.vbOut(Base, 0);
    EXPECT_EQ(device.received, std::vector<std::uint16_t>{0x1234});
}

TEST(SimParallelPort, OtherAddressesAreRecordedWithoutEffect)
{
    FixedAnswerDevice device;
    SimParallelPort port(device);

    port.vbOut(Status, 0x40);
    port.vbOut(Base + 2, 0x0C);
    const std::vector<SimParallelPort::Write> writes = port.otherWrites();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].port, Status);
    EXPECT_EQ(writes[0].value, 0x40);
    EXPECT_EQ(writes[1].port, Base + 2);
    EXPECT_TRUE(port.dataWrites().empty());

    EXPECT_EQ(port.vbInp(Base + 2), 0xFF);
    EXPECT_EQ(port.vbInp(0x278), 0xFF);
    EXPECT_EQ(port.vbInp(Status), 0x40); // no frame: the line reads as a 0 bit
    port.vbOut(Base, 5);
    EXPECT_EQ(port.vbInp(Base), 5); // the data register reads back its latch

    port.clearRecords();
    EXPECT_TRUE(port.otherWrites().empty());
    EXPECT_TRUE(port.dataWrites().empty());
}

TEST(SimParallelPort, AnotherBaseAddressMovesBothRegisters)
{
    FixedAnswerDevice device;
    SimParallelPort port(device, 0x278);
    device.answer = 0xFFFF;
    port.vbOut(Base, CS | DATA); // the 0x378 port is not there
    EXPECT_TRUE(port.dataWrites().empty());
    port.vbOut(0x278, CS | DATA);
    port.vbOut(0x278, CS | CLK | DATA);
    EXPECT_EQ(port.vbInp(0x279), 0x00);
}

TEST(SimParallelPort, GiveioFailsOnlyWhenTold)
{
    FixedAnswerDevice device;
    SimParallelPort port(device);
    EXPECT_EQ(port.giveio(), QString());
    port.setGiveioFailure(QStringLiteral("no port"));
    EXPECT_EQ(port.giveio(), QStringLiteral("no port"));
    EXPECT_EQ(port.giveioCalls(), 2);
}

} // namespace
} // namespace gyro::sim
