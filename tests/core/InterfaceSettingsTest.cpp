#include "InterfaceSettings.h"
#include "FailingWrites.h"
#include "TestPlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gyro;

namespace {

struct SettingsFile : ::testing::Test {
    QTemporaryDir dir;
    test::CoreFixture f;
    QString path() const { return dir.filePath(QStringLiteral("CommPort.cfg")); }
    void write(const QByteArray& text)
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray read() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(SettingsFile, SavedFileIsExactlyFourLinesWithTheNumericPrintFormat)
{
    f.g.InterfaceType = 2;
    f.g.PortAddress = 888;
    f.g.FactoryMode = 0;
    f.g.ProductNumber = -5;
    ASSERT_TRUE(SaveInterfaceSettings(f.g, path()));
    EXPECT_EQ(read(),
              QByteArray("Interface =  2\r\nPort Address =  888\r\nFactory =  0\r\nProduct = -5\r\n"));
}

TEST_F(SettingsFile, SaveThenLoadGivesBackAllValuesNegativesIncluded)
{
    f.g.InterfaceType = 1;
    f.g.PortAddress = -32768;
    f.g.FactoryMode = -1;
    f.g.ProductNumber = 27140;
    ASSERT_TRUE(SaveInterfaceSettings(f.g, path()));
    test::CoreFixture other;
    LoadInterfaceSettings(other.g, path());
    EXPECT_EQ(other.g.InterfaceType, 1);
    EXPECT_EQ(other.g.PortAddress, -32768);
    EXPECT_EQ(other.g.FactoryMode, -1);
    EXPECT_EQ(other.g.ProductNumber, 27140);
}

TEST_F(SettingsFile, KeyOrderDoesNotMatterAndLaterLinesWin)
{
    write("Product =  27130\nFactory =  3\nPort Address =  632\nInterface =  12\nInterface =  1\n");
    LoadInterfaceSettings(f.g, path());
    EXPECT_EQ(f.g.InterfaceType, 1);
    EXPECT_EQ(f.g.PortAddress, 632);
    EXPECT_EQ(f.g.FactoryMode, 3);
    EXPECT_EQ(f.g.ProductNumber, 27130);
}

// 0 and the addresses whose three registers do not fit in 16 bits (FFFE and FFFF,
// held as -2 and -1) cannot be a port's base: the interface starts as none, told
// once; the file's other values stay. FFFD (-3) and 3BC are bases.
TEST_F(SettingsFile, ParallelPortAtAnAddressThatCannotBeABaseStartsAsNone)
{
    const std::pair<const char*, bool> cases[] = {
        {"0", false}, {"-1", false}, {"-2", false}, {"-3", true}, {"956", true}};
    for (const auto& [address, usable] : cases) {
        SCOPED_TRACE(address);
        f.ui.clear();
        write(QByteArray("Interface =  1\r\nPort Address = ") + address +
              "\r\nFactory =  2\r\nProduct =  27130\r\n");
        LoadInterfaceSettings(f.g, path());
        EXPECT_EQ(f.g.InterfaceType, usable ? 1 : 0);
        EXPECT_EQ(f.g.PortAddress, QByteArray(address).toShort());
        EXPECT_EQ(f.g.FactoryMode, 2);
        EXPECT_EQ(f.g.ProductNumber, 27130);
        EXPECT_EQ(f.ui.messages.size(), usable ? 0u : 1u);
    }
    // The same address under the USB interface is never used: nothing to say.
    f.ui.clear();
    write("Interface =  2\r\nPort Address =  0\r\n");
    LoadInterfaceSettings(f.g, path());
    EXPECT_EQ(f.g.InterfaceType, 2);
    EXPECT_TRUE(f.ui.messages.empty());
}

TEST_F(SettingsFile, MissingKeysLeaveTheirValues)
{
    write("Port Address = 632\r\n");
    LoadInterfaceSettings(f.g, path());
    EXPECT_EQ(f.g.InterfaceType, 0);
    EXPECT_EQ(f.g.PortAddress, 632);
}

TEST_F(SettingsFile, MalformedLinesAreSkipped)
{
    f.g.InterfaceType = 0;
    f.g.PortAddress = 7;
    f.g.FactoryMode = 4;
    f.g.ProductNumber = 9;
    write("Interface= 2\n" // no blank before "=": key reads "Interfac"
          "no equals sign here\n"
          "= 3\n"
          "Port Address =1\n" // nothing left after skipping one character
          "Factory = abc\n"
          "Product = 99999\n" // does not fit 16 bits
          "interface = 2\n"   // keys are case-sensitive
          "\n");
    LoadInterfaceSettings(f.g, path());
    EXPECT_EQ(f.g.InterfaceType, 0);
    EXPECT_EQ(f.g.PortAddress, 7);
    EXPECT_EQ(f.g.FactoryMode, 4);
    EXPECT_EQ(f.g.ProductNumber, 9);
}

TEST_F(SettingsFile, MissingOrEmptyFileKeepsDefaults)
{
    SetInterfaceDefaults(f.g);
    LoadInterfaceSettings(f.g, path());
    EXPECT_EQ(f.g.InterfaceType, 0);
    write("");
    LoadInterfaceSettings(f.g, path());
    EXPECT_EQ(f.g.InterfaceType, 0);
    EXPECT_EQ(f.g.UsbSpiBits, 120);
    EXPECT_EQ(f.g.UsbWordDelay, 25);
}

TEST_F(SettingsFile, FailedSaveReportsFailureAndKeepsThePreviousFile)
{
    write("Interface =  1\r\n");
    f.g.InterfaceType = 2;
    // The folder does not exist: the write cannot start and nothing is touched.
    EXPECT_FALSE(SaveInterfaceSettings(f.g, dir.filePath(QStringLiteral("missing/CommPort.cfg"))));
    EXPECT_EQ(read(), QByteArray("Interface =  1\r\n"));
}

TEST_F(SettingsFile, SaveThatCannotWriteLeavesTheOldFileByteForByteAndSaysWhy)
{
    if (!test::LimitedChildrenAvailable)
        GTEST_SKIP() << test::NoLimitedChildren;
    const QByteArray old("Interface =  1\r\nPort Address =  632\r\nFactory =  0\r\nProduct =  27130\r\n");
    struct Case {
        const char* what;
        test::ChildLimits limits;
        bool saves;
    };
    const Case cases[] = {
        {"no limit: the child itself is sound", {}, true},
        {"full after 10 bytes", {.fileSizeLimit = 10}, false},
        {"full at once", {.fileSizeLimit = 0}, false},
        {"read-only folder", {.asUnprivilegedUser = true}, false},
    };
    f.g.InterfaceType = 2;
    f.g.PortAddress = 888;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        write(old);
        // Readable and searchable by everyone, writable by no one but root.
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner |
                                              QFile::ReadOther | QFile::ExeOther);
        if (c.limits.asUnprivilegedUser)
            QFile::setPermissions(dir.path(),
                                  QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        const test::ChildOutcome outcome = test::RunInLimitedChild(
            c.limits, [this](QString* reason) { return SaveInterfaceSettings(f.g, path(), reason); });
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
        ASSERT_TRUE(outcome.ran);
        EXPECT_EQ(outcome.ok, c.saves);
        if (c.saves) {
            EXPECT_EQ(read(), InterfaceSettingsText(f.g));
            continue;
        }
        EXPECT_FALSE(outcome.reason.isEmpty());
        EXPECT_EQ(read(), old);
        // No temporary file is left beside it.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"CommPort.cfg"});
    }
}
