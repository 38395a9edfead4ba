#include "SimFaults.h"

#include "EzUsbDriver.h"

#include <QStringList>
#include <algorithm>
#include <array>

namespace gyro::sim {

namespace {

constexpr std::array<std::uint32_t, 4> DriverRequestCodes{
    EzUsbDriver::IoctlGetPipeInfo, EzUsbDriver::IoctlGetDeviceDescriptor,
    EzUsbDriver::IoctlGetStringDescriptor, EzUsbDriver::IoctlPipeTransfer};

// A count of zero or more, in decimal.
std::optional<int> count(const QString& text)
{
    bool ok = false;
    const int n = text.toInt(&ok, 10);
    return ok && n >= 0 ? std::optional<int>(n) : std::nullopt;
}

} // namespace

QString SimFaultKindsText(int indent, int width)
{
    struct Kind {
        const char* name;
        const char* description;
    };
    static const Kind kinds[] = {
        {"card-stops:N", "the USB card stops answering after N SPI transfers"},
        {"unplug:N:M", "the USB card is unplugged after N SPI transfers, back after M failed opens "
                       "(each card search is one)"},
        {"request:CODE", "the driver request CODE fails (0x222000, 0x222004, 0x222044, 0x222051)"},
        {"port-unclaimable", "the parallel port opens but cannot be claimed"},
    };
    constexpr int NameColumn = 18;
    const QString margin(indent, QLatin1Char(' '));
    const QString continuation(indent + NameColumn, QLatin1Char(' '));
    // At least a few words a line, however deep the indent.
    const qsizetype room = std::max(width - 1 - indent - NameColumn, 24);
    QString text;
    for (const Kind& kind : kinds) {
        QString line = margin + QString::fromLatin1(kind.name).leftJustified(NameColumn);
        qsizetype used = 0;
        for (const QString& word : QString::fromLatin1(kind.description).split(QLatin1Char(' '))) {
            if (used > 0 && used + 1 + word.size() > room) {
                text += line + QLatin1Char('\n');
                line = continuation;
                used = 0;
            }
            if (used > 0) {
                line += QLatin1Char(' ');
                ++used;
            }
            line += word;
            used += word.size();
        }
        text += line + QLatin1Char('\n');
    }
    return text;
}

std::optional<SimFault> ParseSimFault(const QString& text, QString* error)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    const QString& kind = parts.front();
    const auto fail = [&](const QString& why) -> std::optional<SimFault> {
        *error = QStringLiteral("bad --sim-fault '%1': %2").arg(text, why);
        return std::nullopt;
    };
    SimFault fault;
    if (kind == QLatin1String("card-stops")) {
        const auto n = parts.size() == 2 ? count(parts[1]) : std::nullopt;
        if (!n)
            return fail(QStringLiteral("give card-stops:N with N a count of SPI transfers"));
        fault.kind = SimFault::Kind::CardStops;
        fault.transfers = *n;
    } else if (kind == QLatin1String("unplug")) {
        const auto n = parts.size() == 3 ? count(parts[1]) : std::nullopt;
        const auto m = parts.size() == 3 ? count(parts[2]) : std::nullopt;
        if (!n || !m)
            return fail(QStringLiteral("give unplug:N:M with N SPI transfers and M failed opens"));
        fault.kind = SimFault::Kind::Unplug;
        fault.transfers = *n;
        fault.failedOpens = *m;
    } else if (kind == QLatin1String("request")) {
        bool ok = false;
        const std::uint32_t code = parts.size() == 2 ? parts[1].toUInt(&ok, 0) : 0;
        if (!ok ||
            std::find(DriverRequestCodes.begin(), DriverRequestCodes.end(), code) == DriverRequestCodes.end())
            return fail(
                QStringLiteral("give request:CODE with CODE one of 0x222000, 0x222004, 0x222044, 0x222051"));
        fault.kind = SimFault::Kind::RequestFails;
        fault.requestCode = code;
    } else if (kind == QLatin1String("port-unclaimable") && parts.size() == 1) {
        fault.kind = SimFault::Kind::PortUnclaimable;
    } else {
        return fail(QStringLiteral("the kinds are:\n") + SimFaultKindsText());
    }
    return fault;
}

} // namespace gyro::sim
