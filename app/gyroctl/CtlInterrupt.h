#pragma once
// Ctrl+C and SIGTERM during a long command (a logging run, an averaging run): the
// first one only asks the run to stop, so it ends after the current sample and
// still writes and prints what it has. Commands that run briefly leave the
// signals as they are.
namespace gyro {

// Installs the handlers for SIGINT and SIGTERM; from then on a signal sets the
// flag instead of ending the process. Safe to call more than once.
void CatchCtlInterrupt();
// Whether a signal arrived since CatchCtlInterrupt (or the last reset).
bool CtlInterruptRequested();
// Clears the flag (tests).
void ResetCtlInterrupt();

} // namespace gyro
