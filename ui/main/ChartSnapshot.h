#pragma once
// What a strip chart shows at one moment, to export it: the picture as drawn and,
// per sweep position, the sample drawn there with the segment that reached it
// and the range it was drawn in (a "Scale" click changes only later samples).
#include <QColor>
#include <QImage>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace gyro {

inline constexpr int ChartPositions = 351; // sweep positions 0..350

struct ChartSample {
    double value = std::numeric_limits<double>::quiet_NaN(); // NaN: no sample at this position
    double fromPosition = 0.0;                               // the segment drawn to this sample starts here
    double fromValue = 0.0;
    double hiPk = 1.0; // the range the segment was drawn in
    double lowPk = 0.0;
    std::uint64_t number = 0; // 1 for the chart's first sample, counting on
    bool drawn() const { return !std::isnan(value); }
};

struct ChartSnapshot {
    QImage image; // the chart's pixels (device pixels)
    std::array<ChartSample, ChartPositions> samples{};
    int position = 0;        // where the sweep stands: the newest sample
    std::uint64_t drawn = 0; // samples drawn so far; the newest one's number
    QColor traceColor = Qt::black;
    // How many samples ago the sample at `position` was drawn (0: the newest).
    std::uint64_t age(int at) const { return drawn - samples[static_cast<std::size_t>(at)].number; }
};

} // namespace gyro
