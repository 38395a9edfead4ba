// `gyroctl allan`: usage errors before any reading, an unreadable file, the table
// and the noise terms on stdout (data only), and the plot files, also from the
// program itself (which must start a GUI application without a display).
#include "CtlFixture.h"
#include "DrawingFormats.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gyro;

namespace {

struct CtlAllan : test::CtlFixture {
    QTemporaryDir dir;
    QString nbs14 = dir.filePath(QStringLiteral("nbs14.txt"));

    CtlAllan()
    {
        QFile f(nbs14);
        f.open(QIODevice::WriteOnly);
        f.write("892\n809\n823\n798\n671\n644\n883\n903\n677\n");
    }
    int allan(const QStringList& arguments) { return runCommand(QStringLiteral("allan"), arguments); }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
};

TEST_F(CtlAllan, UsageErrorsExit2WithNothingOnStdout)
{
    const QString f = nbs14;
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{}, "allan needs a log file"},
        {{f, QStringLiteral("--taus"), QStringLiteral("weekly")}, "--taus needs octave, decade or all"},
        {{f, QStringLiteral("--rate"), QStringLiteral("0")}, "--rate needs samples a second above 0"},
        {{f, QStringLiteral("--rate"), QStringLiteral("fast")}, "--rate needs samples a second above 0"},
        {{f, QStringLiteral("--plot"), QStringLiteral("a.jpg")}, "ending in .png or .svg"},
        {{f, QStringLiteral("--column")}, "--column needs a value"},
        {{f, QStringLiteral("--bogus")}, "unknown option"},
        {{f, f}, "second file"},
        {{f}, "give the sample rate"}, // a plain file states no interval
        {{f, QStringLiteral("--rate"), QStringLiteral("1"), QStringLiteral("--column"), QStringLiteral("2")},
         "from 1 to 1"},
    };
    for (const auto& c : cases) {
        outText.clear();
        errText.clear();
        EXPECT_EQ(allan(c.arguments), ExitUsage) << c.message;
        EXPECT_TRUE(outText.isEmpty()) << c.message;
        EXPECT_TRUE(errText.contains(QLatin1String(c.message))) << errText.toStdString();
    }
}

TEST_F(CtlAllan, AFileThatCannotBeReadExits1)
{
    EXPECT_EQ(allan({path("missing.csv"), QStringLiteral("--rate"), QStringLiteral("1")}),
              ExitTransportFailed);
    EXPECT_TRUE(errText.contains(QStringLiteral("cannot read"))) << errText.toStdString();
    EXPECT_TRUE(outText.isEmpty());
}

TEST_F(CtlAllan, PrintsTheTableAndTheNoiseTerms)
{
    ASSERT_EQ(allan({nbs14, QStringLiteral("--rate"), QStringLiteral("1")}), ExitOk) << errText.toStdString();
    const QStringList lines = outText.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 9);
    EXPECT_EQ(lines[0], QStringLiteral("tau_s\tadev\tlower\tupper\tclusters"));
    // NIST SP 1065: overlapping ADEV(2) of the NBS14 9-point set is 85.95287; 9 / 2 = 4 clusters.
    const QStringList tau2 = lines[2].split(QLatin1Char('\t'));
    ASSERT_EQ(tau2.size(), 5);
    EXPECT_EQ(tau2[0], QStringLiteral("2"));
    EXPECT_EQ(tau2[1], QStringLiteral("85.95287"));
    EXPECT_LT(tau2[2].toDouble(), 85.95287);
    EXPECT_GT(tau2[3].toDouble(), 85.95287);
    EXPECT_EQ(tau2[4], QStringLiteral("4"));
    EXPECT_TRUE(lines[5].startsWith(QStringLiteral("term\tvalue\tunit")));
    EXPECT_TRUE(outText.contains(QStringLiteral("N\t-\tdeg/sqrt(h)"))) << "9 samples reach no term";
    EXPECT_TRUE(errText.contains(QStringLiteral("9 samples of column 1, 1 samples a second (given)")))
        << errText.toStdString();
}

TEST_F(CtlAllan, DrawsThePlotAsPngOrSvg)
{
    const QString rate = QStringLiteral("--rate");
    ASSERT_EQ(allan({nbs14, rate, QStringLiteral("1"), QStringLiteral("--plot"), path("a.png")}), ExitOk);
    EXPECT_EQ(QImage(path("a.png")).size(), QSize(1000, 700));
    ASSERT_EQ(allan({nbs14, rate, QStringLiteral("1"), QStringLiteral("--psd")}), ExitOk);
    EXPECT_TRUE(errText.contains(QStringLiteral("9 samples are too few for a spectrum (it needs 16)")));
    QFile longer(path("longer.txt"));
    longer.open(QIODevice::WriteOnly);
    for (int i = 0; i < 100; ++i)
        longer.write(QByteArray::number(i * 37 % 11) + '\n');
    longer.close();
    const QStringList withSpectrum{longer.fileName(),        rate,
                                   QStringLiteral("1"),      QStringLiteral("--psd"),
                                   QStringLiteral("--plot"), path("b.svg")};
    if (SvgDrawingsAvailable) {
        ASSERT_EQ(allan(withSpectrum), ExitOk);
        QFile svg(path("b.svg"));
        ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
        EXPECT_TRUE(svg.readAll().contains("<svg"));
        EXPECT_TRUE(outText.contains(QStringLiteral("frequency_hz\tpsd_one_sided")));
    } else { // a usage error, before anything is read
        errText.clear();
        EXPECT_EQ(allan(withSpectrum), ExitUsage);
        EXPECT_TRUE(errText.contains(SvgUnavailableText())) << errText.toStdString();
        EXPECT_FALSE(QFile::exists(path("b.svg")));
    }

    // A plot that cannot be written fails the run, after the table was printed.
    outText.clear();
    EXPECT_EQ(allan({nbs14, rate, QStringLiteral("1"), QStringLiteral("--plot"), path("no/such/dir/c.png")}),
              ExitTransportFailed);
    EXPECT_TRUE(outText.startsWith(QStringLiteral("tau_s")));
    EXPECT_TRUE(errText.contains(QStringLiteral("cannot write"))) << errText.toStdString();
}

TEST_F(CtlAllan, TheProgramDrawsWithoutADisplay)
{
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(GYROCTL_PROGRAM),
                  {QStringLiteral("allan"), nbs14, QStringLiteral("--rate"), QStringLiteral("1"),
                   QStringLiteral("--plot"), path("d.png")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_EQ(QImage(path("d.png")).size(), QSize(1000, 700));
}

} // namespace
