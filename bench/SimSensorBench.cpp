// One two-frame register read from the simulated sensor: the program's own cost per
// register access on the simulated platform, sample catch-up and trace included.
#include "FakeClock.h"
#include "RealClock.h"
#include "SimSensor.h"

#include <benchmark/benchmark.h>

namespace {

constexpr std::uint16_t ReadGyroOut = 0x0400;

void writeSmplPrd(gyro::sim::SimSensor& sensor, std::uint8_t value)
{
    sensor.transfer(0xB700);
    sensor.transfer(static_cast<std::uint16_t>(0xB600 | value));
}

} // namespace

// On the real clock at the factory rate (256 samples/s): a sample is due now and then.
static void BM_TwoFrameRead_RealClock(benchmark::State& state)
{
    gyro::RealClock clock;
    gyro::sim::SimSensor sensor(clock);
    for (auto _ : state) {
        sensor.transfer(ReadGyroOut);
        benchmark::DoNotOptimize(sensor.transfer(ReadGyroOut));
    }
}
BENCHMARK(BM_TwoFrameRead_RealClock);

// On a fake clock at the top rate (2048 samples/s), a fresh sample before every read,
// with the widest filter: the most work one read can cause in steady polling.
static void BM_TwoFrameRead_FreshSampleEachRead(benchmark::State& state)
{
    gyro::sim::FakeClock clock;
    gyro::sim::SimSensor sensor(clock);
    writeSmplPrd(sensor, 0x00);
    sensor.transfer(0xB904); // Sens_Avg: 320 deg/s ...
    sensor.transfer(0xB807); // ... and 257 taps
    for (auto _ : state) {
        clock.advance(1.0 / 2048);
        sensor.transfer(ReadGyroOut);
        benchmark::DoNotOptimize(sensor.transfer(ReadGyroOut));
    }
}
BENCHMARK(BM_TwoFrameRead_FreshSampleEachRead);

BENCHMARK_MAIN();
