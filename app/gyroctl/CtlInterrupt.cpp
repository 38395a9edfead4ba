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
    std::signal(SIGHUP, onInterrupt);
#ifdef SIGPIPE
    // A terminal or ssh session that went away must not end the run on its next
    // report line: the files are what the run is for.
    std::signal(SIGPIPE, SIG_IGN);
#endif
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
