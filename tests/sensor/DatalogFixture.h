#pragma once
// A logging run's surroundings: the program's fixture with the USB card up and a
// temporary folder for the files.
#include "DatalogRun.h"
#include "SimProgramTest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace gyro::test {

class DatalogTest : public SimProgramTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir().mkpath(dir.path()));
        ASSERT_TRUE(useInterface(InterfaceKind::UsbCard));
        sim.fakeClock()->setMidnightOffset(3600); // 01:00:00 at monotonic 0
        settings.Folder = dir.path();
        settings.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        settings.SamplesPerFile = 1;
        hooks.today = [] { return QDate(2026, 12, 8); };
    }

    // Runs as a front end does: the failure that ended the run is told through the host.
    DatalogOutcome run()
    {
        DatalogOutcome outcome = RunDatalog(g, settings, hooks);
        TellIfFailed(ui, outcome.failure);
        return outcome;
    }

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
    DatalogSettings settings;
    DatalogHooks hooks;
};

} // namespace gyro::test
