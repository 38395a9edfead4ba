// rate, filter, dac and flash: the operational control window's settings from the
// command line.
#include "CtlConfigCommands.h"
#include "CtlArguments.h"
#include "HexText.h"
#include "OperationWords.h"
#include "SensorCommands.h"

#include <QStringList>
#include <algorithm>

namespace gyro {

namespace {

void printWord(CtlContext& c, const char* registerName, std::int32_t word)
{
    c.out << registerName << '\t' << ValueToHex4(word) << Qt::endl;
}

// The register word read back, or the failure on stderr.
bool answered(CtlContext& c, const std::optional<std::int32_t>& word, const char* registerName)
{
    if (!word)
        c.err << "gyroctl: " << registerName << " did not answer" << Qt::endl;
    return word.has_value();
}

struct FilterRequest {
    std::optional<int> taps;
    std::optional<int> rangeCode;
    std::optional<bool> wideBandwidth;
};

std::optional<FilterRequest> parseFilter(CtlContext& c)
{
    FilterRequest request;
    const QStringList& args = c.options.arguments;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& option = args[i];
        if (i + 1 >= args.size() || !option.startsWith(QLatin1String("--"))) {
            c.err << "gyroctl: filter takes --taps N, --range 80|160|320 and --bandwidth 50|300" << Qt::endl;
            return std::nullopt;
        }
        const QString value = args[++i];
        if (option == QLatin1String("--taps")) {
            const auto taps = StrictNumber(c, value, "taps");
            if (!taps)
                return std::nullopt;
            const int corrected = LimitedTaps(*taps);
            if (corrected != *taps)
                NoteCorrection(c, "taps", *taps, QString::number(corrected));
            request.taps = corrected;
        } else if (option == QLatin1String("--range")) {
            const int degPerSec = value.toInt();
            for (int code : {RangeCode::Range80, RangeCode::Range160, RangeCode::Range320}) {
                if (RangeDegPerSec(code) == degPerSec)
                    request.rangeCode = code;
            }
            if (!request.rangeCode) {
                c.err << "gyroctl: range '" << value << "': use 80, 160 or 320" << Qt::endl;
                return std::nullopt;
            }
        } else if (option == QLatin1String("--bandwidth")) {
            if (value != QLatin1String("50") && value != QLatin1String("300")) {
                c.err << "gyroctl: bandwidth '" << value << "': use 50 or 300" << Qt::endl;
                return std::nullopt;
            }
            request.wideBandwidth = value == QLatin1String("300");
        } else {
            c.err << "gyroctl: unknown filter option '" << option << "'" << Qt::endl;
            return std::nullopt;
        }
    }
    return request;
}

} // namespace

std::optional<std::int32_t> SetCtlSampleRate(CtlContext& c, double rate)
{
    const double limited = std::clamp(rate, LowestSampleRate, HighestSampleRate);
    if (limited != rate)
        NoteCorrection(c, "rate", rate, SampleRateText(limited));
    const SamplePeriodChoice choice = ChooseSamplePeriod(c.g, rate);
    if (choice.lowPowerLimited)
        c.err << "gyroctl: " << QString(LowPowerWarning()).replace(QLatin1String("\r\n"), QLatin1String(" "))
              << Qt::endl;
    return WriteSamplePeriod(c.g, choice.word);
}

int runRate(CtlContext& c)
{
    if (!AtMostArguments(c, 1))
        return ExitUsage;
    std::optional<double> rate;
    if (!c.options.arguments.isEmpty() && !(rate = StrictNumber(c, c.options.arguments[0], "rate")))
        return ExitUsage;
    if (const int status = BringUpCtlInterface(c); status != ExitOk)
        return status;

    const std::optional<std::int32_t> word = rate ? SetCtlSampleRate(c, *rate) : ReadWord(c.g, Idx_Smpl_Prd);
    if (!answered(c, word, "Smpl_Prd"))
        return ExitTransportFailed;
    c.out << "rate\t" << SampleRateText(SampleRateOfWord(*word)) << Qt::endl;
    printWord(c, "Smpl_Prd", *word);
    return StatusAfterTraffic(c, true);
}

int runFilter(CtlContext& c)
{
    const auto request = parseFilter(c);
    if (!request)
        return ExitUsage;
    if (const int status = BringUpCtlInterface(c); status != ExitOk)
        return status;

    auto word = ReadWord(c.g, Idx_Sens_Avg);
    if (!answered(c, word, "Sens_Avg"))
        return ExitTransportFailed;
    if (request->taps || request->rangeCode || request->wideBandwidth) {
        // Settings not given keep what the sensor holds.
        SensAvgSettings settings = SensAvgSettingsOf(*word);
        settings.taps = request->taps.value_or(settings.taps);
        settings.rangeCode = request->rangeCode.value_or(settings.rangeCode);
        settings.wideBandwidth = request->wideBandwidth.value_or(settings.wideBandwidth);
        word = WriteSensAvg(c.g, SensAvgWord(settings));
        if (!answered(c, word, "Sens_Avg"))
            return ExitTransportFailed;
    }
    const SensAvgSettings held = SensAvgSettingsOf(*word);
    c.out << "taps\t" << held.taps << Qt::endl;
    c.out << "range\t" << RangeDegPerSec(held.rangeCode) << Qt::endl;
    c.out << "bandwidth\t" << (held.wideBandwidth ? 300 : 50) << Qt::endl;
    printWord(c, "Sens_Avg", *word);
    return StatusAfterTraffic(c, true);
}

int runDac(CtlContext& c)
{
    if (!AtMostArguments(c, 1))
        return ExitUsage;
    std::optional<double> volts;
    if (!c.options.arguments.isEmpty()) {
        volts = StrictNumber(c, c.options.arguments[0], "volts");
        if (!volts)
            return ExitUsage;
        const double limited = LimitedDacVolts(*volts);
        if (limited != *volts)
            NoteCorrection(c, "volts", *volts, DacVoltsText(limited));
        volts = limited;
    }
    if (const int status = BringUpCtlInterface(c); status != ExitOk)
        return status;

    const auto code = volts ? WriteAuxDac(c.g, DacCode(*volts)) : ReadWord(c.g, Idx_Aux_DAC);
    if (!answered(c, code, "Aux_DAC"))
        return ExitTransportFailed;
    c.out << "volts\t" << DacVoltsText(DacVolts(*code)) << Qt::endl;
    printWord(c, "Aux_DAC", *code);
    return StatusAfterTraffic(c, true);
}

int runFlash(CtlContext& c)
{
    if (!AtMostArguments(c, 0))
        return ExitUsage;
    if (const int status = BringUpCtlInterface(c); status != ExitOk)
        return status;
    return StatusAfterTraffic(c, FlashUpdate(c.g));
}

} // namespace gyro
