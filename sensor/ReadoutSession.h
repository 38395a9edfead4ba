#pragma once
// The readout loop: passes over the five outputs (and the status) until it is told
// to stop. Its state is its own, not a button's caption: the window shows it and
// the benchmarks drive it. A stop asked for during a pass (a click answered in the
// pass's yield) lets that pass end: the session is "stopping" until it has.
#include "GyroState.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace gyro {

enum class ReadoutState { Stopped, Running, Stopping };

class ReadoutSession {
public:
    // Called with every change of state.
    std::function<void(ReadoutState)> stateChanged;

    ReadoutState state() const { return state_; }
    bool running() const { return state_ == ReadoutState::Running; }

    // The "Read" button with "Loop" checked: a running loop is asked to stop, any
    // other state starts it.
    void toggle();
    // Asks a running loop to stop after its pass.
    void requestStop();

    // Makes one pass, then more while the session is running and `keepGoing` says
    // so; `pass` returns false when the loop must end at once (the window is gone).
    // A run nested in a pass's yield makes its own passes; the session is stopped
    // when the outermost run ends.
    void run(const std::function<bool()>& pass, const std::function<bool()>& keepGoing);

private:
    void setState(ReadoutState state);

    ReadoutState state_ = ReadoutState::Stopped;
    int depth_ = 0; // runs in progress, nested in each other's yields
};

// One pass's readings of Supply_Out..ANGL_OUT (no value: no answer) and, when the
// pass read it in the same burst, Status.
struct OutputReadings {
    std::array<std::optional<float>, 5> values;
    std::optional<std::int32_t> status;
};

// Reads the five outputs one by one, or with Status in one burst when
// g.ReadoutBurst is set; the values are the same either way.
OutputReadings ReadOutputs(GyroState& g);

} // namespace gyro
