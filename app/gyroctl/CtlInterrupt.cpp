#include "CtlInterrupt.h"

#include <csignal>

namespace gyro {

namespace {

volatile std::sig_atomic_t interruptRequested = 0;

extern "C" void onInterrupt(int)
{
    interruptRequested = 1;
}

} // namespace

void CatchCtlInterrupt()
{
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
}

bool CtlInterruptRequested()
{
    return interruptRequested != 0;
}

void ResetCtlInterrupt()
{
    interruptRequested = 0;
}

} // namespace gyro
