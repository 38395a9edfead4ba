#pragma once

namespace gyro {

// Over the file size limit (ulimit -f) a write then fails with a reason the user
// is told, and the file being saved is left as it was; by default the signal the
// system sends ends the program in the middle of the save.
void LetWritesFailOverFileSizeLimit();

} // namespace gyro
