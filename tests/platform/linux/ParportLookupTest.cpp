// Finding the parallel port device for a base address from the kernel's list.
#include "ParportLookup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace gyro::linuxport {
namespace {

TEST(ParportLookup, BaseAddressIsTheFirstNumber)
{
    EXPECT_EQ(ParseBaseAddress(QStringLiteral("888\t1912\n")), 0x378);
    EXPECT_EQ(ParseBaseAddress(QStringLiteral("  632 1656")), 0x278);
    EXPECT_EQ(ParseBaseAddress(QStringLiteral("0x3BC")), 0x3BC);
    EXPECT_EQ(ParseBaseAddress(QStringLiteral("53264\n")), 0xD010);
    EXPECT_EQ(ParseBaseAddress(QString()), std::nullopt);
    EXPECT_EQ(ParseBaseAddress(QStringLiteral("base 888")), std::nullopt);
    EXPECT_EQ(ParseBaseAddress(QStringLiteral("-1")), std::nullopt);
    EXPECT_EQ(ParseBaseAddress(QStringLiteral("65536")), std::nullopt);
}

class ParportDirTest : public ::testing::Test {
protected:
    void addPort(const QString& name, const QByteArray& baseAddr)
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath(name));
        if (baseAddr.isNull())
            return;
        QFile file(dir.filePath(name + QStringLiteral("/base-addr")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(baseAddr);
    }
    QTemporaryDir dir;
};

TEST_F(ParportDirTest, ListsPortsInNumberOrderAndSkipsOthers)
{
    addPort(QStringLiteral("parport10"), "956\t0\n");
    addPort(QStringLiteral("parport2"), "632\t1656\n");
    addPort(QStringLiteral("parport0"), "888\t1912\n");
    addPort(QStringLiteral("default"), "888\n");       // not a port
    addPort(QStringLiteral("parport3"), QByteArray()); // no base-addr file
    addPort(QStringLiteral("parport4"), "none\n");     // unreadable number

    const std::vector<ParportEntry> entries = ListParportEntries(dir.path());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, QStringLiteral("parport0"));
    EXPECT_EQ(entries[1].name, QStringLiteral("parport2"));
    EXPECT_EQ(entries[2].name, QStringLiteral("parport10"));
    EXPECT_EQ(entries[2].baseAddress, 956);

    const std::optional<ParportEntry> found = FindParportForBase(entries, 0x278);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(ParportDevicePath(QStringLiteral("/dev"), *found), QStringLiteral("/dev/parport2"));
    EXPECT_FALSE(FindParportForBase(entries, 0x279).has_value());
}

TEST_F(ParportDirTest, MissingFolderListsNothing)
{
    EXPECT_TRUE(ListParportEntries(dir.filePath(QStringLiteral("absent"))).empty());
}

} // namespace
} // namespace gyro::linuxport
