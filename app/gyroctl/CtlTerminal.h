#pragma once
// Whether the error output is a terminal (a console window on Windows), where the
// long commands show a progress line that a redirected output must not get.
namespace gyro {

bool StderrIsTerminal();

} // namespace gyro
