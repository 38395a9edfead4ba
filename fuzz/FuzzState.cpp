#include "FuzzState.h"

#include <algorithm>
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

QString SimFaultText(const sim::SimFault& fault)
{
    using Kind = sim::SimFault::Kind;
    switch (fault.kind) {
    case Kind::CardStops:
        return QStringLiteral("card-stops:%1").arg(fault.transfers);
    case Kind::Unplug:
        return QStringLiteral("unplug:%1:%2").arg(fault.transfers).arg(fault.failedOpens);
    case Kind::RequestFails:
        return QStringLiteral("request:0x%1").arg(fault.requestCode, 0, 16);
    case Kind::PortUnclaimable:
        break;
    }
    return QStringLiteral("port-unclaimable");
}

bool SameFaults(const std::vector<sim::SimFault>& a, const std::vector<sim::SimFault>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.kind == y.kind && x.transfers == y.transfers && x.failedOpens == y.failedOpens &&
               x.requestCode == y.requestCode;
    });
}

void Check(bool holds, const char* what, const QString& detail)
{
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s %s\n", what, qPrintable(detail));
    std::abort();
}

} // namespace gyro::fuzz
