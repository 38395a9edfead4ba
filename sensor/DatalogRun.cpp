#include "DatalogRun.h"

#include "DatalogFile.h"
#include "DatalogFormat.h"
#include "NumberText.h"
#include "RegisterAccess.h"
#include "SensorPacedSampling.h"
#include "Timing.h"

#include <algorithm>
#include <optional>

namespace gyro {

namespace {

const QString CrLf = QStringLiteral("\r\n");

// How the sampling of one file ended.
enum class FileEnd { AllSamples, Cancelled, SensorFailed, WriteFailed };

// Samples one file: builds each line from the clock and the register reads and
// streams it to the file. Returns how it ended; `taken` counts the lines written.
class FileSampler {
public:
    FileSampler(GyroState& g, const DatalogSettings& s, const DatalogHooks& hooks, QChar separator,
                SensorPacedSampler* paced)
        : g_(g), s_(s), hooks_(hooks), sep_(separator), paced_(paced)
    {
    }

    // `appendLine` takes each line; `writeOut` (may be empty) hands the lines taken
    // to the disk before a long sample delay.
    FileEnd sample(const std::function<bool(const QString&)>& appendLine,
                   const std::function<void()>& writeOut, std::int64_t& taken)
    {
        Clock& clock = g_.platform.clock;
        double begin = clock.monotonicSeconds();
        const float delayMs = static_cast<float>(s_.SampleDelayMs);
        QString line;
        line.reserve(160);
        for (std::int64_t j = 1; j <= s_.SamplesPerFile; ++j) {
            line.truncate(0); // keeps the capacity
            line += QString::number(j);
            line += sep_;
            if (paced_ != nullptr) {
                if (const FileEnd end = appendPacedSample(line, begin, j == 1); end != FileEnd::AllSamples)
                    return end;
            } else {
                // The clock is read once, before the reads of this sample.
                if (s_.ckTime)
                    appendField(
                        line, GeneralFormat(static_cast<float>(clock.monotonicSeconds() - begin), s_.locale));
                if (!appendRegisters(line))
                    return FileEnd::SensorFailed;
            }
            if (!appendLine(line))
                return FileEnd::WriteFailed;
            taken = j;
            if (hooks_.sampleTaken)
                hooks_.sampleTaken(j, s_.SamplesPerFile);
            if (delayMs > 0 && !waitBetweenSamples(writeOut, delayMs))
                return FileEnd::Cancelled;
            if (stopRequested())
                return FileEnd::Cancelled;
        }
        return FileEnd::AllSamples;
    }

private:
    // The yield to the window system, then the caller's cancel check.
    bool stopRequested() const
    {
        if (hooks_.yield)
            hooks_.yield();
        return hooks_.cancelRequested && hooks_.cancelRequested();
    }

    // The delay after a sample; a stop asked for during it ends it at once. A long
    // wait first hands the lines taken to the file, so they are on disk while it
    // lasts. False when the wait was stopped.
    bool waitBetweenSamples(const std::function<void()>& writeOut, float delayMs) const
    {
        constexpr float WriteOutAboveMs = 100;
        if (delayMs > WriteOutAboveMs && writeOut)
            writeOut(); // a failure stays with the file and is told at its next line or its end
        return DelayMsOrStop(g_, delayMs, [this] { return stopRequested(); });
    }

    void appendField(QString& line, const QString& field) const
    {
        line += field;
        line += sep_;
    }

    void appendReading(QString& line, std::int32_t newData, std::int32_t word, float value) const
    {
        if (!s_.ckDisableNewDataFlags)
            appendField(line, newData > 0 ? QStringLiteral("1") : QStringLiteral("0"));
        appendField(line, s_.ckNoScaling ? QString::number(word) : GeneralFormat(value, s_.locale));
    }

    // False when a read brought no answer: the sample is then not taken.
    bool appendRegisters(QString& line) const
    {
        for (std::size_t k = 0; k < DatalogColumns.size(); ++k) {
            if (!s_.CheckReg[k])
                continue;
            const RegisterRead r = ReadRegister(g_, DatalogColumns[k].registerIndex);
            if (!r)
                return false;
            appendReading(line, r->RegNewData, r->RegWord, r->RegValue);
        }
        return true;
    }

    // The sensor's next sample, with its own time; nothing is appended unless it came.
    // A file's first sample may have been made just before the file began (the sensor
    // went on while the previous file was written): the file's times then count from
    // that sample, so they start at 0 and rise.
    FileEnd appendPacedSample(QString& line, double& begin, bool firstOfFile) const
    {
        switch (paced_->next(hooks_)) {
        case PacedResult::Failed:
            return FileEnd::SensorFailed;
        case PacedResult::Cancelled:
            return FileEnd::Cancelled;
        case PacedResult::Fresh:
            break;
        }
        if (firstOfFile)
            begin = std::min(begin, paced_->sampleTime());
        if (s_.ckTime)
            appendField(line, MicrosecondTime(paced_->sampleTime() - begin, s_.locale));
        for (std::size_t k = 0; k < DatalogColumns.size(); ++k) {
            if (s_.CheckReg[k]) {
                const RegisterReading& r = paced_->reading(k);
                appendReading(line, r.RegNewData, r.RegWord, r.RegValue);
            }
        }
        return FileEnd::AllSamples;
    }

    GyroState& g_;
    const DatalogSettings& s_;
    const DatalogHooks& hooks_;
    QChar sep_;
    SensorPacedSampler* paced_; // null: the free-running run
};

Failure fileAccessFailure(const QString& fileName, const QString& reason)
{
    return Failure{
        QStringLiteral("log file"), FileAccessMessage(fileName, reason), {}, {}, MsgIcon::Exclamation};
}

Failure sensorFailure(const QString& fileName, std::int64_t samplesKept)
{
    return Failure{QStringLiteral("log sample"),
                   SensorFailedMessage(fileName, samplesKept),
                   {},
                   {},
                   MsgIcon::Exclamation};
}

} // namespace

QString FileAccessMessage(const QString& fileName, const QString& reason)
{
    QString text = CrLf + QStringLiteral("FILE ACCESS ERROR") + CrLf + CrLf + QStringLiteral("File name = ") +
                   fileName + CrLf + CrLf +
                   QStringLiteral("This file may already be open by another application.") + CrLf + CrLf +
                   QStringLiteral("Close the file or choose a different file name.");
    if (!reason.isEmpty())
        text += CrLf + CrLf + QStringLiteral("Reason: ") + reason;
    return text;
}

QString SensorFailedMessage(const QString& fileName, std::int64_t samplesKept)
{
    return CrLf + QStringLiteral("SENSOR READ ERROR") + CrLf + CrLf +
           QStringLiteral("The sensor did not answer; the datalog has stopped.") + CrLf + CrLf +
           QStringLiteral("File name = ") + fileName +
           QStringLiteral(" holds the %1 samples taken.").arg(samplesKept);
}

static DatalogOutcome runFiles(GyroState& g, const DatalogSettings& settings, const DatalogHooks& hooks,
                               const DatalogTextFormat& format, FileSampler& sampler)
{
    Clock& clock = g.platform.clock;
    DatalogOutcome outcome;

    for (std::int64_t n = 1; n <= settings.FilesPerSession; ++n) {
        const QString fileName = DatalogFileName(settings.FileName, n, format);
        DatalogFile file(clock);
        if (!NamesFileInFolder(fileName) || !file.open(settings.Folder, fileName)) {
            outcome.failure = fileAccessFailure(fileName, file.failure());
            outcome.end = DatalogEnd::FileAccessFailed;
            return outcome;
        }
        // A reset that cannot be sent means the sensor is out of reach: no sample is taken.
        const bool angleReset = !settings.ckReSetAngle || WriteRegister(g, Idx_ANGL_OUT, 0);
        if (hooks.fileBegun)
            hooks.fileBegun(n);
        if (hooks.yield)
            hooks.yield();

        const double beginSeconds = clock.secondsSinceMidnight();
        std::int64_t taken = 0;
        const auto toFile = [&file](const QString& line) { return file.appendLine(line); };
        const auto writeOut = [&file] { file.writeOut(); };
        const FileEnd fileEnd = angleReset ? sampler.sample(toFile, writeOut, taken) : FileEnd::SensorFailed;
        const double endSeconds = clock.secondsSinceMidnight();
        if (fileEnd == FileEnd::WriteFailed) {
            // The samples that reached the disk stay in the partial file, which the
            // message names; an older file of the target's name stays as it was.
            outcome.failure = fileAccessFailure(file.failedFileName(), file.failure());
            outcome.end = DatalogEnd::FileAccessFailed;
            return outcome;
        }

        QByteArray header;
        if (!settings.ckNoHeader) {
            const DatalogFileFacts facts{fileName, hooks.today ? hooks.today() : QDate::currentDate(),
                                         clock.secondsSinceMidnight(), static_cast<float>(beginSeconds),
                                         static_cast<float>(endSeconds)};
            header = DatalogHeader(settings, format, facts);
        }
        if (!file.finish(header)) {
            outcome.failure = fileAccessFailure(file.failedFileName(), file.failure());
            outcome.end = DatalogEnd::FileAccessFailed;
            return outcome;
        }
        ++outcome.filesWritten;
        g.LastDatalogFile = file.targetPath();
        if (hooks.fileWritten)
            hooks.fileWritten(file.targetPath());

        if (fileEnd == FileEnd::SensorFailed) {
            outcome.failure = sensorFailure(fileName, taken);
            outcome.end = DatalogEnd::SensorFailed;
            return outcome;
        }
        if (fileEnd == FileEnd::Cancelled) {
            outcome.end = DatalogEnd::Cancelled;
            return outcome;
        }
    }
    return outcome;
}

// The run with its lines handed to hooks.lineOut: blocks of N samples, no files.
static DatalogOutcome runToLines(GyroState& g, const DatalogSettings& settings, const DatalogHooks& hooks,
                                 FileSampler& sampler)
{
    DatalogOutcome outcome;
    for (std::int64_t n = 1; n <= settings.FilesPerSession; ++n) {
        const bool angleReset = !settings.ckReSetAngle || WriteRegister(g, Idx_ANGL_OUT, 0);
        if (hooks.fileBegun)
            hooks.fileBegun(n);
        if (hooks.yield)
            hooks.yield();
        std::int64_t taken = 0;
        switch (angleReset ? sampler.sample(hooks.lineOut, {}, taken) : FileEnd::SensorFailed) {
        case FileEnd::AllSamples:
            ++outcome.filesWritten;
            continue;
        case FileEnd::Cancelled:
            outcome.end = DatalogEnd::Cancelled;
            return outcome;
        case FileEnd::WriteFailed:
            outcome.end = DatalogEnd::FileAccessFailed;
            return outcome;
        case FileEnd::SensorFailed:
            outcome.failure = sensorFailure(QStringLiteral("(standard output)"), taken);
            outcome.end = DatalogEnd::SensorFailed;
            return outcome;
        }
    }
    return outcome;
}

DatalogOutcome RunDatalog(GyroState& g, const DatalogSettings& settings, const DatalogHooks& hooks)
{
    const DatalogTextFormat format = DatalogFormatFor(settings.locale);
    std::optional<SensorPacedSampler> paced;
    if (settings.chkEverySample)
        paced.emplace(g, settings);
    FileSampler sampler(g, settings, hooks, format.separator, paced ? &*paced : nullptr);
    DatalogOutcome outcome = hooks.lineOut ? runToLines(g, settings, hooks, sampler)
                                           : runFiles(g, settings, hooks, format, sampler);
    if (paced)
        outcome.samplesMissed = paced->missed();
    return outcome;
}

} // namespace gyro
