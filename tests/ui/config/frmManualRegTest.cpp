// The register information window on the simulated sensor: the table, one register
// read and written by name, the dump file and printing.
#include "frmManualReg.h"
#include "RegisterMap.h"
#include "Screenshot.h"
#include "SimWindowBench.h"

#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QRegularExpression>

namespace gyro::test {
namespace {

constexpr int TempOut = 0x0C;

struct RegisterWindow : ::testing::Test {
    SimWindowBench b;
    std::unique_ptr<frmManualReg> w = std::make_unique<frmManualReg>(b.g, &b.mainWindow);

    QPlainTextEdit& table() { return control<QPlainTextEdit>(*w, "Text1"); }
    QStringList tableLines() { return table().toPlainText().split('\n', Qt::SkipEmptyParts); }
    // Picks a register in the list by keyboard, as the user does.
    void choose(const QString& name)
    {
        auto& list = control<QComboBox>(*w, "cmboRegister");
        const int target = list.findText(name);
        ASSERT_GE(target, 0);
        while (list.currentIndex() != target)
            QTest::keyClick(&list, list.currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    }
    QByteArray logFile()
    {
        QFile file(b.programFolder.filePath("Registers_LOG.txt"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(RegisterWindow, LoadListsEveryRegisterAndBuildsTheTable)
{
    EXPECT_EQ(w->objectName(), "frmManualReg");
    EXPECT_EQ(w->windowTitle(), "Register Information");
    EXPECT_EQ(w->pos(), b.mainWindow.pos());
    auto& list = control<QComboBox>(*w, "cmboRegister");
    ASSERT_EQ(list.count(), 25);
    EXPECT_EQ(list.itemText(24), "Command");
    EXPECT_EQ(list.currentIndex(), -1);

    const QStringList lines = tableLines();
    ASSERT_EQ(lines.size(), 27);
    EXPECT_EQ(lines[0], "Name\t\tAddr\thexValue\t   decValue");
    EXPECT_EQ(lines[1], "___________\t_____\t_____\t    _____");
    // Command is write-only: its line repeats the word and value of Status before it.
    EXPECT_TRUE(lines[26].startsWith("Command    \t003E\t"));
    EXPECT_EQ(lines[26].section('\t', 2), lines[25].section('\t', 2));

    choose("Command");
    EXPECT_EQ(box(*w, "txtRegAddr").text(), "003E");
    EXPECT_EQ(box(*w, "txtRegByte").text(), "1");
    EXPECT_EQ(box(*w, "txtRegRead").text(), "False");
    EXPECT_EQ(box(*w, "txtRegWrite").text(), "True");
    EXPECT_FALSE(button(*w, "cmdRead").isEnabled());
    EXPECT_TRUE(button(*w, "cmdWrite").isEnabled());
    EXPECT_TRUE(button(*w, "cmdUpdateFlash").isVisibleTo(w.get()));
}

TEST_F(RegisterWindow, ANegativeWordShowsAsItsTwosComplementBesideTheValue)
{
    b.setWord(TempOut, 0x0F00); // 12-bit -256: 25 - 256 x 0.1454139 = -12.22596 C
    w->show();
    choose("Temp_Out");
    SaveScreenshot(*w, "frmManualReg");
    EXPECT_EQ(box(*w, "txtHex").text(), "FF00");
    EXPECT_EQ(box(*w, "txtRegVal").text(), "-12.22596");
    EXPECT_EQ(box(*w, "txtRegRead").text(), "True");
    EXPECT_FALSE(button(*w, "cmdWrite").isEnabled());
    click(*w, "cmdReadUserReg");
    EXPECT_EQ(tableLines()[6], "Temp_Out    \t000C\tFF00\t   -12.22596");
}

TEST_F(RegisterWindow, WritingSensAvgSetsTheRateScale)
{
    choose("Sens_Avg");
    box(*w, "txtDataWrite").setText("0102"); // range bits 0x100: 80 deg/s
    b.framesOut();
    click(*w, "cmdWrite");
    const auto frames = b.framesOut();
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames[0], 0xB901); // high byte to 0x39, then low byte to 0x38
    EXPECT_EQ(frames[1], 0xB802);
    EXPECT_EQ(b.g.Reg[Idx_Gyro_Out].RegScale, 0.018315f);
}

TEST_F(RegisterWindow, SaveReplacesTheFileWithTheBoxAndOneMoreLineEnd)
{
    click(*w, "cmdWriteFile");
    const QByteArray first = logFile();
    EXPECT_TRUE(first.startsWith("Name\t\tAddr\thexValue\t   decValue\r\n"));
    EXPECT_TRUE(first.endsWith("\r\n\r\n"));
    EXPECT_EQ(first.count("\r\n"), 28); // 27 lines and the extra line end
    EXPECT_EQ(first.count('\n'), 28);

    table().setPlainText("edited\nby hand");
    click(*w, "cmdWriteFile");
    EXPECT_EQ(logFile(), "edited\r\nby hand\r\n");
    EXPECT_TRUE(b.ui.messages.empty());
}

TEST_F(RegisterWindow, ASaveThatFailsIsToldAndLeavesNoFile)
{
    b.g.ProgramFolder = b.programFolder.filePath("missing/folder");
    click(*w, "cmdWriteFile");
    ASSERT_EQ(b.ui.messages.size(), 1u);
    EXPECT_TRUE(b.ui.messages[0].text.startsWith("The register table could not be saved to "));
    EXPECT_EQ(b.ui.messages[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(QFile::exists(b.g.ProgramFolder + "/Registers_LOG.txt"));
}

TEST_F(RegisterWindow, PrintPutsTheWindowOnOnePdfPage)
{
    const QString pdf = b.programFolder.filePath("print.pdf");
    w->choosePrinter = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    w->show();
    click(*w, "cmdPrint");
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString content = QString::fromLatin1(file.readAll());
    EXPECT_EQ(content.count(QRegularExpression("/Type\\s*/Page[^s]")), 1);
    EXPECT_GE(content.count(QRegularExpression("/Subtype\\s*/Image")), 1);
    EXPECT_TRUE(b.ui.messages.empty());

    // A cancelled dialog prints nothing. (Windows removes no file still open.)
    file.close();
    ASSERT_TRUE(QFile::remove(pdf));
    w->choosePrinter = [](QPrinter&) { return false; };
    click(*w, "cmdPrint");
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(RegisterWindow, UnansweredReadsShowNoNumbers)
{
    b.sim.usb().stopAnswering(0);
    click(*w, "cmdReadUserReg");
    const QStringList lines = tableLines();
    ASSERT_EQ(lines.size(), 27);
    EXPECT_EQ(lines[3], "Supply_Out    \t0002\t----\t   ----");
    EXPECT_EQ(lines[26], "Command    \t003E\t----\t   ----");
    choose("Gyro_Out");
    EXPECT_EQ(box(*w, "txtHex").text(), "----");
    EXPECT_EQ(box(*w, "txtRegVal").text(), "");
}

} // namespace
} // namespace gyro::test
