// Where a logging run keeps its samples when the disk is small or fills up: a
// file needs about its own size of space, and a write that fails keeps every
// whole sample in the named partial file.
#include "DatalogFixture.h"
#include "FailingWrites.h"
#include "LogLines.h"

#include <cerrno>
#include <cstring>
#ifdef Q_OS_LINUX
#include <sys/mount.h>
#include <unistd.h>
#endif

using namespace gyro;
using namespace gyro::test;

namespace {

constexpr std::uint16_t GyroPlus100 = NewData | 100; // 7.326 deg/s with the new-data flag

// The data lines of n samples of that Gyro_Out word alone.
QByteArray gyroLines(int n)
{
    QByteArray lines;
    for (int j = 1; j <= n; ++j)
        lines += QByteArray::number(j) + ",1,7.326,\r\n";
    return lines;
}

#ifdef Q_OS_LINUX
// A 1 MiB file system mounted over a folder for as long as the object lives.
struct SmallDisk {
    QByteArray path;
    bool mounted = false;
    explicit SmallDisk(const QString& folder) : path(QFile::encodeName(folder))
    {
        mounted = ::geteuid() == 0 &&
                  ::mount("tmpfs", path.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1m") == 0;
    }
    ~SmallDisk()
    {
        if (mounted)
            ::umount2(path.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
};
#endif

QString reasonLine(int error)
{
    return "Reason: " + QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

#ifdef Q_OS_LINUX
TEST_F(DatalogTest, OnA1MiBDiskAFileNeedsAboutItsOwnSizeAndAFullDiskKeepsItsSamples)
{
    struct Case {
        std::int64_t samples;
        bool fits;
    };
    // 12000 samples of everything (on simulated time) make a file of more than
    // half the disk, so that a copy of its samples behind the header would not
    // fit beside them.
    for (const Case c : {Case{12000, true}, Case{30000, false}}) {
        SCOPED_TRACE(c.samples);
        const SmallDisk disk(dir.path());
        if (!disk.mounted)
            GTEST_SKIP() << "a 1 MiB tmpfs cannot be mounted here (needs root)";
        ui.clear();
        settings.CheckReg = {true, true, true, true, true};
        settings.ckTime = true;
        settings.SamplesPerFile = c.samples;
        const DatalogOutcome outcome = run();
        if (c.fits) {
            EXPECT_EQ(outcome.end, DatalogEnd::Completed);
            EXPECT_EQ(folderEntries(), QStringList{"DATALOG_1.csv"});
            EXPECT_GT(QFileInfo(dir.filePath("DATALOG_1.csv")).size(), 512 * 1024);
            const QByteArray lines = dataLines("DATALOG_1.csv");
            EXPECT_EQ(NumberedLines(lines.mid(lines.indexOf('\n') + 1)), 12000); // after the titles
            EXPECT_TRUE(ui.messages.empty());
        } else {
            EXPECT_EQ(outcome.end, DatalogEnd::FileAccessFailed);
            EXPECT_EQ(folderEntries(), QStringList{"DATALOG_1.csv.partial"});
            EXPECT_GT(NumberedLines(fileBytes("DATALOG_1.csv.partial")), 12000); // about a disk full
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_TRUE(ui.messages[0].text.contains("File name = DATALOG_1.csv.partial\r\n"));
            EXPECT_TRUE(ui.messages[0].text.endsWith(reasonLine(ENOSPC)))
                << ui.messages[0].text.toStdString();
        }
    }
}
#else
TEST_F(DatalogTest, OnA1MiBDiskAFileNeedsAboutItsOwnSizeAndAFullDiskKeepsItsSamples)
{
    GTEST_SKIP() << "needs a tmpfs mount (Linux)";
}
#endif

// A file size limit stands in for a full disk (writes beyond it fail with EFBIG),
// once while the samples are taken and once when only the header no longer fits.
TEST_F(DatalogTest, AFailedWriteKeepsEveryWholeSampleInThePartialFileAndTheOlderFile)
{
    if (!LimitedChildrenAvailable)
        GTEST_SKIP() << NoLimitedChildren;
    struct Case {
        const char* when;
        int samples;
        long long fileSizeLimit;
        int keptLines; // -1: as many as fitted, at least one
    };
    const Case cases[] = {
        {"while sampling", 200000, 256 * 1024, -1},
        {"when the header goes in front", 2000, gyroLines(2000).size() + 10, 2000},
    };
    sim.sensor().setRegisterWord(GyroAddress, GyroPlus100);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.when);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        {
            QFile old(dir.filePath("DATALOG_1.csv"));
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("older log\r\n");
        }
        settings.SamplesPerFile = c.samples;
        const ChildOutcome outcome =
            RunInLimitedChild({.fileSizeLimit = c.fileSizeLimit}, [this](QString* message) {
                const DatalogOutcome end = run();
                *message = ui.messages.empty() ? QString() : ui.messages.back().text;
                return end.end == DatalogEnd::FileAccessFailed && end.filesWritten == 0 &&
                       ui.messages.size() == 1;
            });
        ASSERT_TRUE(outcome.ran);
        EXPECT_TRUE(outcome.ok) << outcome.reason.toStdString();
        EXPECT_TRUE(
            outcome.reason.contains("FILE ACCESS ERROR\r\n\r\nFile name = DATALOG_1.csv.partial\r\n"));
        EXPECT_TRUE(outcome.reason.endsWith(reasonLine(EFBIG))) << outcome.reason.toStdString();
        EXPECT_EQ(fileBytes("DATALOG_1.csv"), "older log\r\n");
        EXPECT_EQ(folderEntries(), (QStringList{"DATALOG_1.csv", "DATALOG_1.csv.partial"}));
        const QByteArray kept = fileBytes("DATALOG_1.csv.partial");
        const int lines = NumberedLines(kept);
        if (c.keptLines < 0)
            EXPECT_GT(lines, 0);
        else
            EXPECT_EQ(lines, c.keptLines);
        EXPECT_EQ(kept, gyroLines(lines));
    }
}

// A partial file left by a killed run holds samples: a new run of the same name
// leaves it as it is and keeps its own in a partial file of another name.
TEST_F(DatalogTest, APartialFileOfAnEarlierRunIsNeverTouched)
{
    const QByteArray earlier = gyroLines(3);
    {
        QFile file(dir.filePath("DATALOG_1.csv.partial"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(earlier);
    }
    QString partialDuringRun;
    hooks.sampleTaken = [&](std::int64_t, std::int64_t) { partialDuringRun = folderEntries().join(' '); };
    EXPECT_EQ(run().end, DatalogEnd::Completed);
    EXPECT_EQ(partialDuringRun, "DATALOG_1.csv.2.partial DATALOG_1.csv.partial");
    EXPECT_EQ(folderEntries(), (QStringList{"DATALOG_1.csv", "DATALOG_1.csv.partial"}));
    EXPECT_EQ(fileBytes("DATALOG_1.csv.partial"), earlier);
}
