#pragma once
// Ctrl+C, SIGTERM and SIGHUP (a closed terminal or ssh session), and on Windows
// Ctrl+C, Ctrl+Break and closing the console window, during a long command (a
// logging run, an averaging run): the first one only asks the run to stop, so it
// ends after the current sample or wait and still writes and prints what it has.
// Commands that run briefly leave the signals as they are.
namespace gyro {

// Installs the handlers for SIGINT, SIGTERM and SIGHUP (Windows: a console control
// handler); from then on a signal sets the flag instead of ending the process, and
// a closed output (SIGPIPE) is a failed write instead. Safe to call more than once.
void CatchCtlInterrupt();
// Whether a signal arrived since CatchCtlInterrupt (or the last reset).
bool CtlInterruptRequested();
// Clears the flag (tests).
void ResetCtlInterrupt();

} // namespace gyro
