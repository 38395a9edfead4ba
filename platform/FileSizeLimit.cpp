#include "FileSizeLimit.h"

#include <csignal>

namespace gyro {

void LetWritesFailOverFileSizeLimit()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

} // namespace gyro
