#include "SpiTraceFile.h"
#include "TestPlatform.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gyro;

TEST(SpiTraceFile, LinesCarryTimeInterfaceAndBothWords)
{
    EXPECT_EQ(SpiTraceFile::formatLine(12.5, SpiInterface::Usb, 0xB60A, 0x00ff), "12.500000 usb B60A 00FF");
    EXPECT_EQ(SpiTraceFile::formatLine(0.000001, SpiInterface::Parallel, 0x0400, SpiTrace::NotSampled),
              "0.000001 par 0400 ----");
}

TEST(SpiTraceFile, AppendsToAnExistingTraceAndReportsAnUnopenablePath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.txt"));
    test::CoreFixture f;
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("earlier\n");
    }
    QString error;
    auto trace = SpiTraceFile::open(path, f.clock, &error);
    ASSERT_NE(trace, nullptr) << error.toStdString();
    f.clock.setMonotonic(3.25);
    trace->frame(SpiInterface::Usb, 0xB700, 0x1234);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("earlier\n3.250000 usb B700 1234\n"));

    EXPECT_EQ(SpiTraceFile::open(dir.filePath(QStringLiteral("no/such/dir/t.txt")), f.clock, &error),
              nullptr);
    EXPECT_TRUE(error.contains(QStringLiteral("no/such/dir")));
}

// A trace on a full disk: the first failed write is told once, the rest are dropped.
TEST(SpiTraceFile, AFailedWriteIsToldOnceAndMarksTheTraceFailed)
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full here";
    test::CoreFixture f;
    QString error;
    auto trace = SpiTraceFile::open(QStringLiteral("/dev/full"), f.clock, &error);
    ASSERT_NE(trace, nullptr) << error.toStdString();
    QStringList told;
    trace->setFailureHandler([&](const QString& why) { told << why; });
    EXPECT_FALSE(trace->failed());
    trace->frame(SpiInterface::Usb, 0x0400, 0x1234);
    trace->frame(SpiInterface::Usb, 0x0400, 0x1234);
    EXPECT_TRUE(trace->failed());
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains(QStringLiteral("/dev/full")));
}
