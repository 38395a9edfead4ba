// The strip chart widget, the scale steps and the charts in the main window.
#include "ChartScale.h"
#include "MainWindowFixture.h"
#include "StripChart.h"

#include <QMouseEvent>

using namespace gyro;
using namespace gyro::test;

namespace {

const QColor Trace(0, 0, 0);

// A chart of 351 x 161 pixels: one pixel per sample, and on a range of +-400
// 0.2 pixels per unit, so value v lies on row (400 - v) / 5.
struct ChartFixture {
    ChartFixture()
    {
        chart.resize(351, 161);
        chart.setTraceColor(Trace);
    }
    void plot(double y) { chart.plot(y, hi, lo); }
    StripChart chart;
    double hi = 400;
    double lo = -400;
};

} // namespace

TEST(StripChart, FirstSampleJoinsTheOriginToThePoint)
{
    ChartFixture f;
    f.plot(100);
    EXPECT_EQ(f.chart.position(), 1);
    EXPECT_EQ(f.chart.colorAt(0, 0), Trace);   // the line starts at (0, 0)
    EXPECT_EQ(f.chart.colorAt(1, 100), Trace); // and ends at (1, 100)
    EXPECT_EQ(f.chart.colorAt(2, 300), StripChart::CursorColor);
    EXPECT_EQ(f.chart.colorAt(3, 300), StripChart::Background);
}

TEST(StripChart, SweepErasesAheadAndWrapsAfter350)
{
    ChartFixture f;
    for (int i = 0; i < 350; ++i)
        f.plot(200);
    EXPECT_EQ(f.chart.position(), 350);
    EXPECT_EQ(f.chart.colorAt(175, 200), Trace);

    // Sample 351 starts the next sweep at position 0 with a vertical segment from
    // the last value of the old sweep to the new one.
    f.plot(-200);
    EXPECT_EQ(f.chart.position(), 0);
    EXPECT_EQ(f.chart.previousPosition(), 0);
    EXPECT_EQ(f.chart.colorAt(0, 0), Trace);
    EXPECT_EQ(f.chart.colorAt(1, 200), StripChart::CursorColor); // old trace erased
    EXPECT_EQ(f.chart.colorAt(2, 200), Trace);                   // still the old sweep

    f.plot(-200);
    EXPECT_EQ(f.chart.colorAt(1, -200), Trace);
    EXPECT_EQ(f.chart.colorAt(2, 200), StripChart::CursorColor);
}

TEST(StripChart, ValuesOutsideTheRangeAreClipped)
{
    ChartFixture f;
    auto traceOnRow = [&f](double value) {
        for (double x : {1.0, 2.0, 3.0}) {
            if (f.chart.colorAt(x, value) == Trace)
                return true;
        }
        return false;
    };
    f.plot(0);
    f.plot(5000);
    EXPECT_EQ(f.chart.position(), 2);
    EXPECT_TRUE(traceOnRow(400)); // the line leaves through the top edge
    f.plot(-5000);
    EXPECT_EQ(f.chart.position(), 3);
    EXPECT_TRUE(traceOnRow(-400)); // and comes back through the bottom
}

TEST(StripChart, ZeroHeightRangeIsRepairedInTheCallersVariable)
{
    ChartFixture f;
    f.hi = 5;
    f.lo = 5;
    f.plot(3);
    EXPECT_EQ(f.lo, -1);
    f.hi = -1;
    f.lo = -1;
    f.plot(3); // still no height: drawn one unit high instead of dividing by zero
    EXPECT_EQ(f.lo, -1);
    EXPECT_EQ(f.chart.position(), 2);
}

TEST(StripChart, PointerPositionInChartCoordinates)
{
    ChartFixture f;
    // Before the first sample: the widget's own pixels.
    EXPECT_EQ(f.chart.toChartCoordinates(QPointF(10, 20)), QPointF(10, 20));
    f.plot(0);
    const QPointF middle = f.chart.toChartCoordinates(QPointF(175, 80));
    EXPECT_DOUBLE_EQ(middle.x(), 175);
    EXPECT_DOUBLE_EQ(middle.y(), 0);
    const QPointF corner = f.chart.toChartCoordinates(QPointF(350, 160));
    EXPECT_DOUBLE_EQ(corner.x(), 350);
    EXPECT_DOUBLE_EQ(corner.y(), -400);
}

TEST(ChartScale, RateStepsDivideTheTopBy2Then8Then64)
{
    RateScaleSteps steps;
    double hi = 400;
    double lo = -400;
    std::vector<double> tops;
    for (int click = 0; click < 6; ++click) {
        steps.click(27140, hi, lo);
        tops.push_back(hi);
        EXPECT_EQ(lo, -hi);
    }
    EXPECT_EQ(tops, (std::vector<double>{200, 50, 6.25, 400, 200, 50}));
}

TEST(ChartScale, RateResetByTheDeviceMenuKeepsTheStep)
{
    RateScaleSteps steps;
    double hi = 400;
    double lo = -400;
    steps.click(27140, hi, lo); // 200, next step 2
    hi = 400;                   // the same model chosen again
    steps.click(27140, hi, lo);
    EXPECT_EQ(hi, 100); // 400 / 2^2
    // Another model starts over from its top.
    hi = 400;
    steps.click(27130, hi, lo);
    EXPECT_EQ(hi, 200);
}

TEST(ChartScale, RateStepsWithoutAModelStillReturnToFullScale)
{
    // Model 0 (no model in the settings file) behaves like any other.
    RateScaleSteps steps;
    double hi = 400;
    double lo = -400;
    std::vector<double> tops;
    for (int click = 0; click < 5; ++click) {
        steps.click(0, hi, lo);
        tops.push_back(hi);
    }
    EXPECT_EQ(tops, (std::vector<double>{200, 50, 6.25, 400, 200}));
}

TEST(ChartScale, TemperatureCyclesThroughThreeRanges)
{
    TemperatureScaleSteps steps;
    double hi = 90;
    double lo = -45;
    std::vector<std::pair<double, double>> ranges;
    for (int click = 0; click < 4; ++click) {
        steps.click(27140, hi, lo);
        ranges.emplace_back(hi, lo);
    }
    EXPECT_EQ(ranges, (std::vector<std::pair<double, double>>{{60, 0}, {40, 20}, {90, -45}, {60, 0}}));
}

using MainWindowCharts = MainWindowTest;

TEST_F(MainWindowCharts, ScaleButtonsRewriteTheAxisLabels)
{
    load(2);
    click("cmdScaleGyro");
    EXPECT_EQ(text("lblpFS1"), "200");
    EXPECT_EQ(text("lblmidS1"), "0");
    EXPECT_EQ(text("lblnFS1"), "-200");
    click("cmdScaleGyro");
    click("cmdScaleGyro");
    EXPECT_EQ(text("lblpFS1"), "6.25");
    EXPECT_EQ(text("lblnFS1"), "-6.25");
    click("cmdScaleAcc");
    click("cmdScaleAcc");
    EXPECT_EQ(text("lblpFS2"), "40");
    EXPECT_EQ(text("lblmidS2"), "30");
    EXPECT_EQ(text("lblnFS2"), "20");
    EXPECT_EQ(form->TempHiPk, 40);
    EXPECT_EQ(form->TempLowPk, 20);
}

TEST_F(MainWindowCharts, EachPassPlotsRateAndTemperature)
{
    load(2);
    control<QAbstractButton>("ckLoop")->setChecked(false);
    auto* pic1 = control<StripChart>("pic1");
    auto* pic2 = control<StripChart>("pic2");
    EXPECT_EQ(pic1->position(), 1); // the load's pass
    click("cmdReadData");
    EXPECT_EQ(pic1->position(), 2);
    EXPECT_EQ(pic2->position(), 2);
    EXPECT_EQ(pic2->traceColor(), QColor(0, 150, 0));
    EXPECT_NEAR(pic2->previousValue(), text("lblRegDat_4").toDouble(), 0.005); // shown with 2 decimals
}

TEST_F(MainWindowCharts, PointerOverAChartShowsSampleAndValue)
{
    load(2);
    auto* pic2 = control<StripChart>("pic2");
    // Middle of the temperature chart: sample 175, value 22.5 (range 90 to -45).
    const QPointF point((pic2->width() - 1) / 2.0, (pic2->height() - 1) / 2.0);
    QMouseEvent move(QEvent::MouseMove, point, pic2->mapToGlobal(point), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(pic2, &move);
    EXPECT_EQ(text("lblCurSam2"), "175");
    EXPECT_EQ(text("lblCurVal2"), "22.5");

    auto* pic1 = control<StripChart>("pic1");
    const QPointF top(0, 0);
    QMouseEvent moveTop(QEvent::MouseMove, top, pic1->mapToGlobal(top), Qt::NoButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(pic1, &moveTop);
    EXPECT_EQ(text("lblCurSam1"), "0");
    EXPECT_EQ(text("lblCurVal1"), "400");
}
