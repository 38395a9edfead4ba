// The program's own cost of one register read over the USB SPI card: framing,
// the card operation, the driver calls and the simulated card, with a sensor
// that answers at once. A real card adds hundreds of microseconds of USB time;
// the program's share must stay below a microsecond.
#include "EzUsb.h"
#include "FakeClock.h"
#include "GyroState.h"
#include "InterfaceSettings.h"
#include "NullBackends.h"
#include "RegisterAccess.h"
#include "SimUsbBus.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Counts every allocation of the program, so the benchmark can show that a read
// allocates nothing.
namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

// Answers every frame with a counter, so the reads see changing words.
class CountingDevice final : public gyro::sim::SpiDevice {
public:
    std::uint16_t pendingAnswer() override { return next_; }
    void frameReceived(std::uint16_t) override { ++next_; }

private:
    std::uint16_t next_ = 0;
};

struct UsbCardState {
    gyro::sim::FakeClock clock;
    gyro::sim::FakeBusyLoop busy{clock, 1e-9};
    gyro::sim::SimUsbBus usb;
    gyro::UnusedBackends unused;
    gyro::Platform platform = unused.platform(clock, busy, {.usb = &usb}, QStringLiteral("bench"));
    gyro::SilentUiHost ui;
    gyro::GyroState g{platform, ui};
    CountingDevice sensor;

    UsbCardState()
    {
        usb.attachCard(0);
        usb.connectChannel(1, &sensor);
        usb.setRequestLog(false);
        (void)gyro::FindUsbBoards(g); // the simulated card is there
        gyro::ChooseInterface(g, gyro::InterfaceKind::UsbCard);
    }
};

} // namespace

static void BM_ReadRegisterOverUsb(benchmark::State& state)
{
    UsbCardState s;
    if (!s.g.UsbCardReady) {
        state.SkipWithError("the simulated card was not found");
        return;
    }
    const long allocationsBefore = allocations.load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(gyro::ReadRegister(s.g, gyro::Idx_Gyro_Out));
    }
    state.counters["allocations_per_read"] =
        static_cast<double>(allocations.load() - allocationsBefore) / static_cast<double>(state.iterations());
    if (!s.g.UsbCardReady)
        state.SkipWithError("the card failed during the run");
}
BENCHMARK(BM_ReadRegisterOverUsb)->Unit(benchmark::kNanosecond);

BENCHMARK_MAIN();
