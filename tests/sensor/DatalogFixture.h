#pragma once
// A logging run's surroundings: the simulated sensor behind the simulated USB card
// on simulated time, a recording UI host and a temporary folder for the files.
#include "DatalogRun.h"
#include "GyroState.h"
#include "InterfaceBringUp.h"
#include "RecordingUiHost.h"
#include "SimPlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace gyro::test {

// Sensor addresses of the output registers.
inline constexpr int SupplyAddress = 0x02;
inline constexpr int GyroAddress = 0x04;
inline constexpr int AuxAddress = 0x0A;
inline constexpr int TempAddress = 0x0C;
inline constexpr int AngleAddress = 0x0E;
inline constexpr std::uint16_t NewData = 0x8000;

class DatalogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir().mkpath(dir.path()));
        SetInterfaceDefaults(g);
        g.DelayCalibrated = true;
        g.LoopsPer10us = 10000; // 1 ns a turn on the simulated PC: 10'000 turns make 10 us
        g.InterfaceType = 2;
        ASSERT_TRUE(OpenUsbCard(g));
        sim.fakeClock()->setMidnightOffset(3600); // 01:00:00 at monotonic 0
        settings.Folder = dir.path();
        settings.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        settings.SamplesPerFile = 1;
        hooks.today = [] { return QDate(2026, 12, 8); };
        sim.sensor().clearTrace();
    }

    DatalogOutcome run() { return RunDatalog(g, settings, hooks); }

    QByteArray fileBytes(const QString& name) const
    {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    // The column titles and data lines of a file written with a header (what
    // follows the six lines before the titles).
    QByteArray dataLines(const QString& name) const
    {
        const QByteArray bytes = fileBytes(name);
        qsizetype pos = 0;
        for (int line = 0; line < 6 && pos >= 0; ++line)
            pos = bytes.indexOf("\r\n", pos) + 2;
        return bytes.mid(pos);
    }
    QStringList folderEntries() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    // The log folder sits inside a private temporary folder, so that a test can
    // check that nothing was written beside it without seeing other tests' files.
    struct LogFolder {
        QString folder;
        QString path() const { return folder; }
        QString filePath(const QString& name) const { return folder + QLatin1Char('/') + name; }
    };
    QTemporaryDir root;
    LogFolder dir{root.path() + QStringLiteral("/logs")};
    sim::SimPlatform sim;
    RecordingUiHost ui;
    GyroState g{sim.platform(), ui};
    DatalogSettings settings;
    DatalogHooks hooks;
};

} // namespace gyro::test
