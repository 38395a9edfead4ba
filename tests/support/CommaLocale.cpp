#include "CommaLocale.h"

#include <QCoreApplication>
#include <QLocale>
#include <QProcess>
#include <cstdio>
#include <gtest/gtest.h>

namespace gyro::test {

namespace {
// The child's word that its system gave it no decimal-comma locale either.
const char* const NoCommaLocaleMark = "gyro-test: no decimal-comma locale in the child";
const char* const ChildVariable = "GYRO_COMMA_LOCALE_CHILD";
} // namespace

bool RanUnderCommaLocaleInAChild()
{
    if (QLocale::system().decimalPoint() == QStringLiteral(","))
        return false;
    // A child that is still not German (Windows takes the user's locale, not
    // LC_ALL) says so instead of starting a child of its own.
    if (qEnvironmentVariableIsSet(ChildVariable)) {
        std::puts(NoCommaLocaleMark);
        std::fflush(stdout);
        return true;
    }
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString name =
        QString::fromLatin1(test->test_suite_name()) + QLatin1Char('.') + QString::fromLatin1(test->name());
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(CommaLocaleName));
    env.insert(QString::fromLatin1(ChildVariable), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=") + name});
    EXPECT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    if (output.contains(QString::fromLatin1(NoCommaLocaleMark))) {
        // Marks the running test skipped, as GTEST_SKIP does in a test body.
        ::testing::internal::AssertHelper(
            ::testing::TestPartResult::kSkip, __FILE__, __LINE__,
            "this system starts no child in a decimal-comma locale from LC_ALL") = ::testing::Message();
        return true;
    }
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
    return true;
}

} // namespace gyro::test
