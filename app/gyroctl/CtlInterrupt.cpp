#include "CtlInterrupt.h"

#include <atomic>
#include <csignal>

#ifdef _WIN32
#include <windows.h>
#endif

namespace gyro {

namespace {

// Set from a signal handler (POSIX) or the console's control thread (Windows).
std::atomic<bool> interruptRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

#ifdef _WIN32
// Ctrl+C and Ctrl+Break ask the run to stop. Closing the console window, logging
// off or shutting down end the process as soon as this handler returns, so it
// waits instead: the run stops after its current sample, writes its files and
// ends the process itself, before the system's grace period runs out.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    interruptRequested = true;
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        ::Sleep(20000);
    return TRUE;
}
#endif

extern "C" void onInterrupt(int)
{
    interruptRequested = true;
}

} // namespace

void CatchCtlInterrupt()
{
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
#ifdef _WIN32
    // The console's events come on a thread of their own, not as signals.
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
    std::signal(SIGHUP, onInterrupt);
    // A terminal or ssh session that went away must not end the run on its next
    // report line: the files are what the run is for.
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

bool CtlInterruptRequested()
{
    return interruptRequested;
}

void ResetCtlInterrupt()
{
    interruptRequested = false;
}

} // namespace gyro
