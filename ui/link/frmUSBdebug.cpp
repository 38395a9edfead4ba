#include "frmUSBdebug.h"

#include "EzUsb.h"
#include "HexText.h"
#include "NumberText.h"
#include "UsbSpiDrivers.h"
#include "WidgetText.h"
#include "WindowBehaviour.h"
#include "ui_frmUSBdebug.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QShowEvent>
#include <algorithm>

namespace gyro {

namespace {

constexpr int NoCardOption = 4;

// Static bit box n ("CSn", n = 2..5) stands for bit n + 1 of UsbSpiBits.
constexpr std::uint8_t staticBitMask(int box)
{
    return static_cast<std::uint8_t>(1u << (box + 1));
}

// A word as the word boxes show it: upper-case hex without leading zeros.
QString hexWord(std::int32_t word)
{
    return HexOfInteger(static_cast<std::int16_t>(static_cast<std::uint16_t>(word & 0xFFFF)));
}

// The number in a box (in the system's number format, as every box reads it)
// rounded to a whole number and held within low..high; a text without a number
// counts as 0.
int wholeNumberWithin(const QString& text, int low, int high)
{
    const double n = RoundHalfEven(TextNumber(text));
    if (!(n >= low))
        return low;
    if (n > high)
        return high;
    return static_cast<int>(n);
}

} // namespace

frmUSBdebug::frmUSBdebug(GyroState& g, QWidget* mainWindow, QWidget* parent)
    : QDialog(parent != nullptr ? parent : mainWindow), g_(g), ui_(std::make_unique<Ui::frmUSBdebug>())
{
    ui_->setupUi(this);
    optUsbPort = {*this, QStringLiteral("optUsbPort"), 0, 4};
    txtUsbPort = {*this, QStringLiteral("txtUsbPort"), 0, 3};
    txtDescript0 = {*this, QStringLiteral("txtDescript0"), 0, 3};
    txtDescript1 = {*this, QStringLiteral("txtDescript1"), 0, 3};
    txtDriverRev = {*this, QStringLiteral("txtDriverRev"), 0, 3};
    txtSpeed = {*this, QStringLiteral("txtSpeed"), 0, 3};
    chkStaticBits = {*this, QStringLiteral("chkStaticBits"), 2, 5};
    optSpiChan = {*this, QStringLiteral("optSpiChan"), 1, 4};
    txtWriteSpi = {*this, QStringLiteral("txtWriteSpi"), 1, UsbMaxWords};
    txtReadSpi = {*this, QStringLiteral("txtReadSpi"), 1, UsbMaxWords};
    for (int i = 1; i <= UsbMaxWords; ++i) {
        UseFixedPitchFont(*txtWriteSpi(i));
        UseFixedPitchFont(*txtReadSpi(i));
    }
    for (int k = 0; k < 4; ++k)
        cardRows_[static_cast<std::size_t>(k)] = {.option = optUsbPort(k),
                                                  .type = txtUsbPort(k),
                                                  .descriptor0 = txtDescript0(k),
                                                  .descriptor1 = txtDescript1(k),
                                                  .revision = txtDriverRev(k),
                                                  .speed = txtSpeed(k)};

    for (int k = 0; k <= NoCardOption; ++k)
        connect(optUsbPort(k), &QRadioButton::clicked, this, [this, k] { optUsbPort_Click(k); });
    for (int n = optSpiChan.first(); n <= optSpiChan.last(); ++n)
        connect(optSpiChan(n), &QRadioButton::clicked, this, [this, n] { optSpiChan_Click(n); });
    connect(ui_->cmdFindEzUsb, &QPushButton::clicked, this, &frmUSBdebug::cmdFindEzUsb_Click);
    connect(ui_->cmdPolarity, &QPushButton::clicked, this, &frmUSBdebug::cmdPolarity_Click);
    connect(ui_->cmdReadBits, &QPushButton::clicked, this, &frmUSBdebug::cmdReadBits_Click);
    connect(ui_->cmdSetSpiBits, &QPushButton::clicked, this, &frmUSBdebug::cmdSetSpiBits_Click);
    connect(ui_->cmdReadDelay, &QPushButton::clicked, this, &frmUSBdebug::cmdReadDelay_Click);
    connect(ui_->cmdWriteSpi, &QPushButton::clicked, this, &frmUSBdebug::cmdWriteSpi_Click);
    connect(ui_->cmdLoop, &QPushButton::clicked, this, &frmUSBdebug::cmdLoop_Click);
    connect(ui_->cmdExit, &QPushButton::clicked, this, &frmUSBdebug::cmdExit_Click);
    ui_->txtLoopDelay->installEventFilter(this);
    PlaceAtMainWindowCorner(*this, mainWindow);
}

frmUSBdebug::~frmUSBdebug() = default;

void frmUSBdebug::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Form_Activate();
}

void frmUSBdebug::hideEvent(QHideEvent* event)
{
    // A hidden window cannot show "Stop": a running loop ends with it.
    if (!event->spontaneous() && loopRunning_) {
        g_.UsbLoopStopped = true;
        ui_->cmdLoop->setText(QStringLiteral("Loop"));
    }
    QDialog::hideEvent(event);
}

void frmUSBdebug::closeEvent(QCloseEvent* event)
{
    // Closing from the title bar only hides the window; it keeps its contents.
    event->ignore();
    hide();
}

bool frmUSBdebug::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui_->txtLoopDelay && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int keyCode = key == Qt::Key_Return || key == Qt::Key_Enter ? KeyEnter : key;
        txtLoopDelay_KeyDown(keyCode);
        return keyCode == KeyEnter; // Enter is this box's own; it presses no button
    }
    return QDialog::eventFilter(watched, event);
}

void frmUSBdebug::Form_Activate()
{
    cmdFindEzUsb_Click();
    if (g_.UsbSpiChannel >= 1 && g_.UsbSpiChannel <= 4)
        selectSpiChan(g_.UsbSpiChannel);
    ui_->cmdPolarity->setText(g_.UsbSpiPolarity ? QStringLiteral("Pos") : QStringLiteral("Neg"));
}

void frmUSBdebug::cmdFindEzUsb_Click()
{
    SearchUsbCards(g_, cardRows_, [this](int k) { selectUsbPort(k); });
}

void frmUSBdebug::selectUsbPort(int index)
{
    SelectOption(*optUsbPort(index), [this, index] { optUsbPort_Click(index); });
}

void frmUSBdebug::selectSpiChan(int index)
{
    SelectOption(*optSpiChan(index), [this, index] { optSpiChan_Click(index); });
}

void frmUSBdebug::setSetupFramesEnabled(bool enabled)
{
    ui_->frameSPIsetup->setEnabled(enabled);
    ui_->frameManual->setEnabled(enabled);
}

void frmUSBdebug::optUsbPort_Click(int index)
{
    if (index == NoCardOption) {
        setSetupFramesEnabled(false);
        g_.UsbCardReady = false;
        g_.UsbLoopStopped = true;
        return;
    }
    // The chosen card gets this window's settings, then shows what it holds.
    SelectUsbBoard(g_, index);
    setSetupFramesEnabled(true);
    optSpiChan_Click(g_.UsbSpiChannel);
    TellIfFailed(g_.ui, UsbSetSpiBits(g_, g_.UsbSpiBits));
    TellIfFailed(g_.ui, UsbSetWordDelay(g_, g_.UsbWordDelay));
    cmdReadDelay_Click();
    cmdReadBits_Click();
}

void frmUSBdebug::optSpiChan_Click(int index)
{
    g_.UsbSpiChannel = static_cast<std::uint8_t>(index);
}

void frmUSBdebug::cmdPolarity_Click()
{
    const bool wasPositive = ui_->cmdPolarity->text() == QStringLiteral("Pos");
    ui_->cmdPolarity->setText(wasPositive ? QStringLiteral("Neg") : QStringLiteral("Pos"));
    g_.UsbSpiPolarity = !wasPositive;
}

void frmUSBdebug::notReady()
{
    g_.ui.message(QStringLiteral("Please Select a Buffer first"), MsgButtons::Ok);
}

void frmUSBdebug::showLoopDelay()
{
    ui_->txtLoopDelay->setText(QString::number(g_.UsbWordDelay));
}

void frmUSBdebug::cmdReadBits_Click()
{
    if (!g_.UsbCardReady) {
        notReady();
        showLoopDelay();
        return;
    }
    for (int n = chkStaticBits.first(); n <= chkStaticBits.last(); ++n)
        chkStaticBits(n)->setChecked(false);
    TellIfFailed(g_.ui, UsbReadSpiSetup(g_));
    for (int n = chkStaticBits.first(); n <= chkStaticBits.last(); ++n)
        chkStaticBits(n)->setChecked((g_.UsbSpiBits & staticBitMask(n)) != 0);
}

void frmUSBdebug::cmdSetSpiBits_Click()
{
    if (!g_.UsbCardReady) {
        notReady();
        selectUsbPort(NoCardOption);
        g_.UsbLoopStopped = true;
        return;
    }
    // Exactly the checked bits: bits 0 to 2 and 7 go out as 0.
    std::uint8_t bits = 0;
    for (int n = chkStaticBits.first(); n <= chkStaticBits.last(); ++n)
        if (chkStaticBits(n)->isChecked())
            bits = static_cast<std::uint8_t>(bits | staticBitMask(n));
    TellIfFailed(g_.ui, UsbSetSpiBits(g_, bits));
    if (!g_.UsbCardReady)
        selectUsbPort(NoCardOption);
}

void frmUSBdebug::cmdReadDelay_Click()
{
    if (g_.UsbCardReady)
        TellIfFailed(g_.ui, UsbReadSpiSetup(g_));
    else
        notReady();
    showLoopDelay();
}

void frmUSBdebug::txtLoopDelay_KeyDown(int keyCode)
{
    if (keyCode != KeyEnter)
        return;
    if (!g_.UsbCardReady) {
        notReady();
        showLoopDelay();
        return;
    }
    auto delay = static_cast<std::uint8_t>(wholeNumberWithin(ui_->txtLoopDelay->text(), 1, 255));
    TellIfFailed(g_.ui, UsbSetWordDelay(g_, delay));
    g_.UsbWordDelayChosen = true; // in force for the run: later searches keep it
    showLoopDelay();
}

void frmUSBdebug::showReadback()
{
    for (int i = 1; i <= words_.UsbWordCount; ++i)
        txtReadSpi(i)->setText(hexWord(words_.UsbRxWords[static_cast<std::size_t>(i)]));
}

void frmUSBdebug::cmdWriteSpi_Click()
{
    if (!g_.UsbCardReady) {
        notReady();
        selectUsbPort(NoCardOption);
        g_.UsbLoopStopped = true;
        return;
    }
    // An empty count box keeps the previous count.
    const QString countText = ui_->txtNumWords->text();
    const int count = countText.isEmpty() ? std::clamp<int>(words_.UsbWordCount, 1, UsbMaxWords)
                                          : wholeNumberWithin(countText, 1, UsbMaxWords);
    words_.UsbWordCount = static_cast<std::uint8_t>(count);
    ui_->txtNumWords->setText(QString::number(count));

    // Each box then shows the word actually sent.
    for (int i = 1; i <= count; ++i) {
        const QString text = txtWriteSpi(i)->text();
        auto& word = words_.UsbTxWords[static_cast<std::size_t>(i)];
        word = text.isEmpty() ? 0 : HexToLong(text);
        txtWriteSpi(i)->setText(hexWord(word));
    }
    for (int i = count + 1; i <= UsbMaxWords; ++i)
        txtWriteSpi(i)->clear();
    for (int i = 1; i <= UsbMaxWords; ++i)
        txtReadSpi(i)->clear();

    TellIfFailed(g_.ui, UsbTransfer(g_, words_, count));
    if (!g_.UsbCardReady) {
        // The card did not answer: the words left from an earlier transfer are not
        // this one's answer, so the readback stays empty.
        selectUsbPort(NoCardOption);
        return;
    }
    showReadback();
}

void frmUSBdebug::cmdLoop_Click()
{
    if (ui_->cmdLoop->text() == QStringLiteral("Stop")) {
        // Runs inside the loop's yield: the loop ends after its current transfer.
        g_.UsbLoopStopped = true;
        ui_->cmdLoop->setText(QStringLiteral("Loop"));
        return;
    }
    ui_->cmdLoop->setText(QStringLiteral("Stop"));
    g_.UsbLoopStopped = false;
    // While the loop runs it keeps the words read at its start, so "Write" waits.
    const bool outerLoopRunning = loopRunning_;
    loopRunning_ = true;
    ui_->cmdWriteSpi->setEnabled(false);

    cmdWriteSpi_Click();
    while (!g_.UsbLoopStopped) {
        TellIfFailed(g_.ui, UsbTransfer(g_, words_, words_.UsbWordCount));
        if (!g_.UsbCardReady) {
            g_.UsbLoopStopped = true;
            selectUsbPort(NoCardOption);
            ui_->cmdLoop->setText(QStringLiteral("Loop"));
        } else {
            showReadback();
        }
        // Stop, channel, polarity and static-bit clicks run here and apply from the next transfer.
        g_.ui.yield();
    }

    ui_->cmdLoop->setText(QStringLiteral("Loop"));
    loopRunning_ = outerLoopRunning;
    ui_->cmdWriteSpi->setEnabled(!outerLoopRunning);
}

void frmUSBdebug::cmdExit_Click()
{
    accept();
}

} // namespace gyro
