#include "FuzzState.h"

#include <cstdio>
#include <cstdlib>

namespace gyro::fuzz {

FuzzState::FuzzState(BackendSwap swap)
    : platform(backends.platform(clock, busy, swap, QStringLiteral("fuzz")))
{
}

QString Text(const std::uint8_t* data, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

QStringList Arguments(const std::uint8_t* data, std::size_t size)
{
    QStringList arguments;
    QByteArray current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.append(QString::fromUtf8(current));
            current.clear();
        } else {
            current.append(static_cast<char>(data[i]));
        }
    }
    arguments.append(QString::fromUtf8(current));
    return arguments;
}

void Check(bool holds, const char* what, const QString& detail)
{
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s %s\n", what, qPrintable(detail));
    std::abort();
}

} // namespace gyro::fuzz
