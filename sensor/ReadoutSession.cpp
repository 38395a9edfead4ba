#include "ReadoutSession.h"

#include "RegisterAccess.h"
#include "RegisterBurst.h"

namespace gyro {

void ReadoutSession::toggle()
{
    if (state_ == ReadoutState::Running)
        requestStop();
    else
        setState(ReadoutState::Running);
}

void ReadoutSession::requestStop()
{
    if (state_ == ReadoutState::Running)
        setState(depth_ > 0 ? ReadoutState::Stopping : ReadoutState::Stopped);
}

void ReadoutSession::run(const std::function<bool()>& pass, const std::function<bool()>& keepGoing)
{
    ++depth_;
    bool alive = true;
    do {
        alive = pass();
    } while (alive && running() && keepGoing());
    --depth_;
    if (depth_ == 0 && state_ == ReadoutState::Stopping)
        setState(ReadoutState::Stopped);
}

void ReadoutSession::setState(ReadoutState state)
{
    if (state == state_)
        return;
    state_ = state;
    if (stateChanged)
        stateChanged(state);
}

OutputReadings ReadOutputs(GyroState& g)
{
    OutputReadings out;
    if (!g.ReadoutBurst) {
        for (int i = Idx_Supply_Out; i <= Idx_ANGL_OUT; ++i) {
            if (const RegisterRead r = ReadRegister(g, i))
                out.values[static_cast<std::size_t>(i - Idx_Supply_Out)] = r->RegValue;
        }
        return out;
    }
    static constexpr std::array<int, 6> PassRegisters{Idx_Supply_Out, Idx_Gyro_Out, Idx_Aux_ADC,
                                                      Idx_Temp_Out,   Idx_ANGL_OUT, Idx_Status};
    const ReadOutcome<BurstReadings> read = ReadRegisterBurst(g, PassRegisters);
    if (!read)
        return out;
    for (std::size_t k = 0; k < out.values.size(); ++k)
        out.values[k] = (*read)[k].RegValue;
    out.status = read->back().RegWord;
    return out;
}

} // namespace gyro
