#pragma once
// What the two "Scale" buttons under the charts remember between clicks: the
// model seen at the last click and a step counter (and, for the rate chart, the
// full-scale top the steps divide). Kept for the whole run.
#include <cstdint>
#include <optional>

namespace gyro {

// Rate chart: from a top of T the clicks give T/2, T/8, T/64 (each top divided by
// 2 to the power of the step), then T again; the bottom mirrors the top.
class RateScaleSteps {
public:
    void click(std::int16_t productNumber, double& hiPk, double& lowPk);
    int step() const { return step_; }

private:
    std::optional<std::int16_t> lastProduct_; // empty until the first click
    int step_ = 0;
    double fullScaleTop_ = 0.0;
};

// Temperature chart: three fixed ranges in turn, (90, -45), (60, 0), (40, 20).
class TemperatureScaleSteps {
public:
    void click(std::int16_t productNumber, double& hiPk, double& lowPk);
    int step() const { return step_; }

private:
    std::optional<std::int16_t> lastProduct_;
    int step_ = 0;
};

} // namespace gyro
