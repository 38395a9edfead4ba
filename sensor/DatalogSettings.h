#pragma once
// What one logging run samples and writes: the choices of the datalog window (and
// of `gyroctl log`), the limits of its numbers, and the columns it can log.
#include <QLocale>
#include <QString>
#include <array>
#include <cstdint>

namespace gyro {

// One output register the run can log, in column order.
struct DatalogColumn {
    int registerIndex;   // Idx_Supply_Out .. Idx_ANGL_OUT
    const char* caption; // the data-selection box
    const char* flagTitle;
    const char* valueTitle;
    const char* shortName; // gyroctl --select
};

// Box k (1..5) logs register k; the titles are the ones readers of the files expect.
inline constexpr std::array<DatalogColumn, 5> DatalogColumns{{
    {1, "Power Supply", "PvND", "Power V", "supply"},
    {2, "Gyro", "GyroND", "Gyro", "gyro"},
    {3, "Aux_ADC", "AuxAdcND", "AuX_ADC", "aux"},
    {4, "Temperature", "TempND", "Temperature", "temp"},
    {5, "Angle_Out", "AngleND", "Angle", "angle"},
}};

// Limits of the three numbers; the window corrects into them, gyroctl refuses beyond them.
namespace DatalogLimits {
constexpr std::int64_t MaxSamplesPerFile = 2147483647;
constexpr std::int64_t MaxFilesPerSession = 2000000000;
constexpr double MaxSampleDelayMs = 32000;
} // namespace DatalogLimits

struct DatalogSettings {
    std::array<bool, 5> CheckReg{false, true, false, false, false}; // box k at [k - 1]
    bool ckTime = false;
    bool ckNoHeader = false;
    bool ckNoScaling = false;
    bool ckDisableNewDataFlags = false;
    bool ckReSetAngle = false;
    // One line per sensor sample: wait for each new sample and take the registers in
    // one burst; the time column gets microseconds. Off: the described free-running run.
    bool chkEverySample = false;
    std::int64_t SamplesPerFile = 1000; // N, 1 .. MaxSamplesPerFile
    std::int64_t FilesPerSession = 1;   // F, 1 .. MaxFilesPerSession
    double SampleDelayMs = 0;           // 0 .. MaxSampleDelayMs
    QString FileName = QStringLiteral("DATALOG");
    QString Folder;             // where the files go
    QLocale locale = QLocale(); // decimal mark, separator, date and time formats

    bool anyRegisterSelected() const
    {
        for (bool checked : CheckReg)
            if (checked)
                return true;
        return false;
    }
};

} // namespace gyro
