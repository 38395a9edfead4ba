// Prints the register map's names, one a line, for the bash completion:
// "readable" lists what `gyroctl read` takes, "writable" what `gyroctl write` takes.
#include "RegisterMap.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    const bool writable = argc > 1 && std::strcmp(argv[1], "writable") == 0;
    if (argc != 2 || (!writable && std::strcmp(argv[1], "readable") != 0)) {
        std::fputs("usage: gyro_register_names readable|writable\n", stderr);
        return 2;
    }
    gyro::RegisterMap map;
    const std::int16_t last = gyro::FillRegisterMap(map);
    for (int i = 0; i <= last; ++i) {
        const gyro::RegisterEntry& entry = map[static_cast<std::size_t>(i)];
        if (writable ? entry.RegWritable : entry.RegReadable)
            std::printf("%s\n", entry.RegName.toUtf8().constData());
    }
    return 0;
}
