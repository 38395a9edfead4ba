// Where the program keeps its files: beside the executable, except in the
// system's program folders, where an installed program cannot or must not write.
#include "ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gyro;

#ifndef Q_OS_WIN
TEST(ProgramFolder, TheExecutablesFolderUnlessItIsASystemProgramFolder)
{
    QTemporaryDir build;
    ASSERT_TRUE(build.isValid());
    const QString current = QStringLiteral("/home/user/bench");
    struct Case {
        QString executableFolder;
        QString expected;
    };
    for (const Case& c : {Case{"/usr/bin", current}, Case{"/usr/bin/", current}, Case{"/bin", current},
                          Case{"/usr/local/bin", current}, Case{"/usr/sbin", current},
                          Case{build.path(), build.path()}, // a build tree: beside the program, as always
                          Case{"/opt/gyroeval/bin", "/opt/gyroeval/bin"},
                          Case{"/usr/bin/../lib/gyroeval", "/usr/bin/../lib/gyroeval"}}) {
        EXPECT_EQ(ProgramFilesFolder(c.executableFolder, current), c.expected)
            << c.executableFolder.toStdString();
    }
}
#endif

// Windows' rule: beside the program where a file can be made, otherwise the
// user's folder, made on the way; nothing is left behind by the check.
TEST(ProgramFolder, AFolderThatTakesNoFilesGivesTheUsersFolder)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString user = root.filePath(QStringLiteral("Documents/gyroeval"));
    const QString writable = root.filePath(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(writable));

    EXPECT_EQ(WritableFolderOr(writable, user), writable);
    EXPECT_TRUE(QDir(writable).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(user));

    EXPECT_EQ(WritableFolderOr(root.filePath(QStringLiteral("missing")), user), user);
    EXPECT_TRUE(QFileInfo(user).isDir());
}
