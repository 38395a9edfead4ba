// Where CommPort.cfg is kept: the current folder when it holds one or can take
// one, the user's settings folder when started from the menu or from a folder
// the program cannot write.
#include "SettingsLocation.h"
#include "GyroState.h"
#include "InterfaceSettings.h"
#include "TestPlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gyro;

TEST(SettingsLocation, CurrentFolderUnlessMenuStartOrUnwritable)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString withFile = dir.filePath(QStringLiteral("with-file"));
    const QString empty = dir.filePath(QStringLiteral("empty"));
    ASSERT_TRUE(QDir().mkpath(withFile) && QDir().mkpath(empty));
    QFile file(QDir(withFile).filePath(QStringLiteral("CommPort.cfg")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString user = dir.filePath(QStringLiteral("user/gyroeval"));

    struct Row {
        const char* what;
        QString current;
        bool writable;
        bool fromMenu;
        QString expectedFolder;
    };
    const Row rows[] = {
        {"writable current folder", empty, true, false, empty},
        {"unwritable folder that holds the file", withFile, false, false, withFile},
        {"unwritable folder without one", empty, false, false, user},
        {"menu start, even beside a file", withFile, true, true, user},
    };
    for (const Row& row : rows) {
        const bool writable = row.writable;
        const QString path = InterfaceSettingsPath(row.current, user, row.fromMenu,
                                                   [writable](const QString&) { return writable; });
        EXPECT_EQ(path, QDir(row.expectedFolder).filePath(QStringLiteral("CommPort.cfg"))) << row.what;
    }
}

TEST(SettingsLocation, ASaveThatFailsInTheUserFolderSaysWhy)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    test::CoreFixture f;
    f.g.InterfaceType = 2;
    // A user folder that could not be made (a file stands in its way).
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path =
        InterfaceSettingsPath(dir.path(), dir.filePath(QStringLiteral("blocker/gyroeval")), true);
    QString reason;
    EXPECT_FALSE(SaveInterfaceSettings(f.g, path, &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_TRUE(SettingsNotSavedText(path, reason).contains(QDir::toNativeSeparators(path)));
}
