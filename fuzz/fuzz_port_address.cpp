// The parallel port address as gyroctl takes it (--port HEX) and as the port
// setup window shows it: accepted text is 1 to 4 hex digits, the address reads
// back from its own display and its 16-bit setting, and the command line takes
// exactly the addresses that can be a port's base.
#include "CtlOptions.h"
#include "FuzzState.h"
#include "HexText.h"
#include "PortAddress.h"

#include <QRegularExpression>

using namespace gyro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = fuzz::Text(data, size);
    const std::optional<std::int32_t> address = ParseStrictHex(text);
    static const QRegularExpression strict(QStringLiteral("^(0[xX])?[0-9A-Fa-f]{1,4}$"));
    fuzz::Check(address.has_value() == strict.match(text.trimmed()).hasMatch(),
                "accepts exactly 1 to 4 hex digits", text);

    QString error;
    const auto options = ParseCtlArguments({QStringLiteral("--port"), text, QStringLiteral("dump")}, &error);
    fuzz::Check(options.has_value() == (address.has_value() && IsParallelPortBase(*address)),
                "--port takes exactly the parsed addresses that can be a port's base", text + u' ' + error);
    if (!address)
        return 0;
    fuzz::Check(*address >= 0 && *address <= 0xFFFF, "a 16-bit address", text);
    fuzz::Check(ParseStrictHex(QString::number(*address, 16)) == address, "reads back from lower-case hex");
    const auto asShown = static_cast<std::int16_t>(*address > 32767 ? *address - 65536 : *address);
    fuzz::Check(HexToInteger(HexOfInteger(asShown)) == asShown, "the window's display reads back");
    fuzz::Check(PortBaseValue(asShown) == *address, "the 16-bit setting stands for the same address");
    if (options)
        fuzz::Check(*options->portAddress == asShown, "gyroctl keeps the same address");
    if (IsParallelPortBase(*address))
        fuzz::Check(*address >= 1 && *address + 2 <= 0xFFFF,
                    "a base leaves room for the port's three registers");
    return 0;
}
