// A window changed far more often than a display shows: the pacer paints it at
// most once a frame, and the last change is painted all the same.
#include "PaintPacer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Remembers how often it was painted and which value the last paint showed.
class CountingWidget final : public QWidget {
public:
    using QWidget::QWidget;
    int value = 0;
    int shownValue = -1;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        ++paints;
        shownValue = value;
    }
};

TEST(PaintPacer, PaintsAtMostOnceAFrameAndAlwaysPaintsTheLastChange)
{
    constexpr int FrameMs = 20;
    constexpr int ChangingMs = 200;
    QWidget window;
    window.resize(120, 80);
    auto* readout = new CountingWidget(&window);
    readout->resize(60, 40);
    new gyro::PaintPacer(&window, FrameMs);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(2 * FrameMs);

    // A loop as the readout runs it: change, yield to the window system, again.
    const int paintsBefore = readout->paints;
    int changes = 0;
    QElapsedTimer changing;
    changing.start();
    while (changing.elapsed() < ChangingMs) {
        readout->value = ++changes;
        readout->update();
        QCoreApplication::processEvents();
    }
    const int paints = readout->paints - paintsBefore;
    ASSERT_GT(changes, 4 * ChangingMs / FrameMs) << "the loop ran too slowly to test anything";
    EXPECT_LE(paints, ChangingMs / FrameMs + 2);
    EXPECT_GE(paints, 2) << "the window must go on painting while it changes";

    QTest::qWait(3 * FrameMs);
    EXPECT_EQ(readout->shownValue, changes);
}

} // namespace
