// The parallel-port transport at the level of single port accesses: the line
// sequence of a frame, the inverted status bit, the waits, the trace, and that
// nothing happens on another interface.
#include "ParallelSpi.h"
#include "GyroState.h"
#include "RecordingTrace.h"
#include "RegisterAccess.h"
#include "TestPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <vector>

namespace gyro {
namespace {

constexpr std::int32_t Base = 0x378;
constexpr std::int32_t Status = Base + 1;

// Every port access and wait, in one order.
struct Event {
    enum Kind { Out, In, Wait } kind;
    std::int32_t port = 0;  // Out, In
    std::int32_t value = 0; // Out: the byte written; Wait: 10 us units
    bool operator==(const Event&) const = default;
};
Event out(std::int32_t port, std::int32_t value)
{
    return {Event::Out, port, value};
}
Event in(std::int32_t port)
{
    return {Event::In, port, 0};
}
Event waitMs01()
{
    return {Event::Wait, 0, 10}; // 0.1 ms = 10 units of 10 us
}

// A port whose status register answers from a script (then from `status`).
class ScriptedPort final : public PortIo {
public:
    explicit ScriptedPort(std::vector<Event>& log) : log_(log) {}
    void vbOut(std::int32_t port, std::int32_t value) override { log_.push_back(out(port, value)); }
    std::int32_t vbInp(std::int32_t port) override
    {
        log_.push_back(in(port));
        if (script.empty())
            return status;
        const std::int32_t next = script.front();
        script.pop_front();
        return next;
    }
    QString giveio() override { return {}; }

    std::int32_t status = 0;
    std::deque<std::int32_t> script;

private:
    std::vector<Event>& log_;
};

class LoggingBusyLoop final : public BusyLoop {
public:
    explicit LoggingBusyLoop(std::vector<Event>& log) : log_(log) {}
    void spin(std::int64_t units, std::int32_t) override
    {
        log_.push_back({Event::Wait, 0, static_cast<std::int32_t>(units)});
    }

private:
    std::vector<Event>& log_;
};

class ParallelSpiTest : public ::testing::Test {
protected:
    ParallelSpiTest()
    {
        g.InterfaceType = 1;
        g.PortAddress = Base;
        g.DelayCalibrated = true;
    }

    std::vector<Event> log;
    test::TestBackends backends;
    LoggingBusyLoop busy{log};
    ScriptedPort port{log};
    Platform platform = backends.platform({.port = &port}, &busy);
    test::RecordingUiHost ui;
    GyroState g{platform, ui};
};

// Data register lines: bit 0 chip select, bit 1 clock, bit 2 data out (inverted).
// A frame starts 4 (data idle) then 5 (chip select on). A 1 bit: 7 (clock high,
// data idle), 3 (data low = 1), 1 (clock falls, data held), 5 (data idle). A 0 bit
// keeps the data line high: 7, 7, 5, 5. The frame ends with 0, then 0.1 ms.
TEST_F(ParallelSpiTest, WriteClocksTheWordOutMostSignificantBitFirst)
{
    PortSpiWrite(g, 0x8000);

    std::vector<Event> expected{out(Base, 4), out(Base, 5), out(Base, 7),
                                out(Base, 3), out(Base, 1), out(Base, 5)};
    for (int bit = 14; bit >= 0; --bit)
        for (int value : {7, 7, 5, 5})
            expected.push_back(out(Base, value));
    expected.push_back(out(Base, 0));
    expected.push_back(waitMs01());
    EXPECT_EQ(log, expected);
    EXPECT_EQ(log.size(), 2u + 16 * 4 + 1 + 1);
}

TEST_F(ParallelSpiTest, WriteSendsOnlyTheLow16Bits)
{
    PortSpiWrite(g, 0x18001);            // bit 16 is not part of the frame: 0x8001 goes out
    std::vector<std::int32_t> bitWrites; // the third write of each bit: 1 for a 1 bit
    for (std::size_t i = 2; i + 3 < log.size(); i += 4)
        bitWrites.push_back(log[i + 2].value);
    const std::vector<std::int32_t> expected{1, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 1};
    EXPECT_EQ(bitWrites, expected);
}

// The read frame for 0x84 is (0x84 AND 0x7F) * 256 = 0x0400. Then the answer
// frame: 4, 5, and per bit 7, a status read, 5; then 0 and 0.1 ms.
TEST_F(ParallelSpiTest, ReadSendsTheReadFrameThenSamplesSixteenBits)
{
    port.status = 0x40;
    PortSpiRead(g, 0x84);

    ASSERT_EQ(log.size(), (2u + 64 + 1 + 1) + (2 + 16 * 3 + 1 + 1));
    std::vector<std::int32_t> firstFrameBits;
    for (std::size_t i = 2; i < 66; i += 4)
        firstFrameBits.push_back(log[i + 2].value == 1 ? 1 : 0);
    const std::vector<std::int32_t> frame0400{0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(firstFrameBits, frame0400);

    std::vector<Event> answerFrame(log.begin() + 68, log.end());
    std::vector<Event> expected{out(Base, 4), out(Base, 5)};
    for (int bit = 15; bit >= 0; --bit) {
        expected.push_back(out(Base, 7));
        expected.push_back(in(Status));
        expected.push_back(out(Base, 5));
    }
    expected.push_back(out(Base, 0));
    expected.push_back(waitMs01());
    EXPECT_EQ(answerFrame, expected);
}

TEST_F(ParallelSpiTest, StatusBitSixIsTheInvertedDataLine)
{
    port.status = 0x00; // bit 6 always 0: every bit is a 1
    EXPECT_EQ(PortSpiRead(g, 0x04), 0xFFFF);
    port.status = 0x40; // bit 6 always 1: every bit is a 0
    EXPECT_EQ(PortSpiRead(g, 0x04), 0);
    port.status = 0xBF; // every other status bit set, bit 6 clear: still all ones
    EXPECT_EQ(PortSpiRead(g, 0x04), 0xFFFF);

    // 0xA5C3 = 1010 0101 1100 0011, first read is bit 15; a 1 bit reads as 0x00.
    const int bits[16] = {1, 0, 1, 0, 0, 1, 0, 1, 1, 1, 0, 0, 0, 0, 1, 1};
    port.status = 0x40;
    for (int b : bits)
        port.script.push_back(b == 1 ? 0x00 : 0x40);
    EXPECT_EQ(PortSpiRead(g, 0x04), 0xA5C3);
}

TEST_F(ParallelSpiTest, InitWritesTheStatusRegisterThenIdlesTheLines)
{
    PortSpiInit(g);
    const std::vector<Event> expected{out(Status, 0x40), waitMs01(), out(Base, 0)};
    EXPECT_EQ(log, expected);
}

// Register access on another interface goes to another link: the port sees nothing.
TEST_F(ParallelSpiTest, NothingTouchesThePortOnAnotherInterface)
{
    for (int type : {0, 2, 3}) {
        g.InterfaceType = static_cast<std::int16_t>(type);
        EXPECT_FALSE(WriteRegister(g, Idx_Smpl_Prd, 0x0A)) << "interface " << type;
        EXPECT_FALSE(ReadRegister(g, Idx_Gyro_Out)) << "interface " << type;
    }
    // Only the write's own 0.1 ms waits: no port access.
    EXPECT_TRUE(std::all_of(log.begin(), log.end(), [](const Event& e) { return e.kind == Event::Wait; }));
}

// A base address above 0x7FFF is held in the 16-bit setting as a negative value.
TEST_F(ParallelSpiTest, HighBaseAddressesAreUsedAsUnsigned)
{
    g.PortAddress = static_cast<std::int16_t>(0xD010);
    PortSpiInit(g);
    const std::vector<Event> expected{out(0xD011, 0x40), waitMs01(), out(0xD010, 0)};
    EXPECT_EQ(log, expected);
}

TEST_F(ParallelSpiTest, FramesGoToTheTrace)
{
    test::RecordingTrace trace;
    g.spiTrace = &trace;
    port.status = 0x00;
    PortSpiWrite(g, 0x1B6AA); // only the low 16 bits are the frame
    PortSpiRead(g, 0x0C);

    const std::vector<test::TracedFrame> expected{
        {SpiInterface::Parallel, 0xB6AA, SpiTrace::NotSampled},
        {SpiInterface::Parallel, 0x0C00, SpiTrace::NotSampled}, // the read frame
        {SpiInterface::Parallel, 0x0000, 0xFFFF},               // the answer, with 0 sent
    };
    EXPECT_EQ(trace.frames, expected);

    trace.frames.clear();
    g.InterfaceType = 2; // a USB card that is not ready: no frame at all
    WriteRegister(g, Idx_Smpl_Prd, 0x0A);
    ReadRegister(g, Idx_Gyro_Out);
    EXPECT_TRUE(trace.frames.empty());
}

} // namespace
} // namespace gyro
