// Where the program keeps its files: beside the executable, except in the
// system's program folders, where an installed program cannot or must not write.
#include "ProgramFolder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gyro;

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
