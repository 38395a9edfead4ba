#include "InterfaceSettings.h"

#include "GyroState.h"
#include "PortAddress.h"
#include "WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <limits>
#include <optional>

namespace gyro {

namespace {

// A whole integer with optional sign and surrounding blanks, within 16 bits.
std::optional<std::int16_t> parseSettingValue(const QByteArray& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

std::int16_t* settingFor(LinkSettings& g, const QByteArray& key)
{
    if (key == "Interface")
        return &g.InterfaceType;
    if (key == "Port Address")
        return &g.PortAddress;
    if (key == "Factory")
        return &g.FactoryMode;
    if (key == "Product")
        return &g.ProductNumber;
    return nullptr;
}

// The numeric print format: a blank ahead of a non-negative number.
QByteArray printNumber(std::int16_t value)
{
    QByteArray digits = QByteArray::number(value);
    return value >= 0 ? " " + digits : digits;
}

} // namespace

Outcome LoadInterfaceSettings(GyroState& g, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        // The key is what stands before the blank ahead of "="; the value is what
        // follows the blank after it. Exactly one character is skipped on each side.
        const qsizetype eq = line.indexOf('=');
        if (eq < 1)
            continue;
        std::int16_t* setting = settingFor(g, line.left(eq - 1));
        if (setting == nullptr)
            continue;
        if (const auto value = parseSettingValue(line.mid(eq + 2)))
            *setting = *value;
    }
    // An address that cannot be a port's base must never reach the port: the
    // interface starts as none; the address stays, for the user to correct.
    const std::int32_t address = PortBaseValue(g.PortAddress);
    if (ChosenInterface(g) == InterfaceKind::ParallelPort && !IsParallelPortBase(address)) {
        ChooseInterface(g, InterfaceKind::None);
        return Failure{QStringLiteral("interface settings"),
                       QStringLiteral("%1: %2 The program starts without an interface.")
                           .arg(path, NotAPortBaseMessage(address)),
                       {},
                       g.AppTitle,
                       MsgIcon::Exclamation};
    }
    return {};
}

InterfaceKind ChosenInterface(const LinkSettings& g)
{
    switch (g.InterfaceType) {
    case 1:
        return InterfaceKind::ParallelPort;
    case 2:
        return InterfaceKind::UsbCard;
    default:
        return InterfaceKind::None;
    }
}

std::int16_t InterfaceSetting(InterfaceKind kind)
{
    switch (kind) {
    case InterfaceKind::ParallelPort:
        return 1;
    case InterfaceKind::UsbCard:
        return 2;
    case InterfaceKind::None:
        break;
    }
    return 0;
}

void ChooseInterface(LinkSettings& g, InterfaceKind kind)
{
    g.InterfaceType = InterfaceSetting(kind);
}

InterfaceValues InterfaceValuesOf(const LinkSettings& g)
{
    return {g.InterfaceType, g.PortAddress, g.FactoryMode, g.ProductNumber};
}

void SetInterfaceValues(LinkSettings& g, const InterfaceValues& values)
{
    g.InterfaceType = values.InterfaceType;
    g.PortAddress = values.PortAddress;
    g.FactoryMode = values.FactoryMode;
    g.ProductNumber = values.ProductNumber;
}

QByteArray InterfaceSettingsText(const InterfaceValues& values)
{
    QByteArray text;
    text += "Interface = " + printNumber(values.InterfaceType) + "\r\n";
    text += "Port Address = " + printNumber(values.PortAddress) + "\r\n";
    text += "Factory = " + printNumber(values.FactoryMode) + "\r\n";
    text += "Product = " + printNumber(values.ProductNumber) + "\r\n";
    return text;
}

QByteArray InterfaceSettingsText(const LinkSettings& g)
{
    return InterfaceSettingsText(InterfaceValuesOf(g));
}

bool SaveInterfaceSettings(const InterfaceValues& values, const QString& path, QString* reason)
{
    return WriteFileWhole(path, InterfaceSettingsText(values), reason);
}

bool SaveInterfaceSettings(const LinkSettings& g, const QString& path, QString* reason)
{
    return SaveInterfaceSettings(InterfaceValuesOf(g), path, reason);
}

QString SettingsNotSavedText(const QString& path, const QString& reason)
{
    return QStringLiteral("The interface settings could not be saved to %1: %2.\n"
                          "The file was left as it was; this session's interface choice is lost.")
        .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), reason);
}

std::optional<InterfaceKind> InterfaceKindNamed(const QString& name)
{
    if (name == QLatin1String("usb"))
        return InterfaceKind::UsbCard;
    if (name == QLatin1String("parallel"))
        return InterfaceKind::ParallelPort;
    if (name == QLatin1String("none"))
        return InterfaceKind::None;
    return std::nullopt;
}

} // namespace gyro
