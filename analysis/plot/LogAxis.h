#pragma once
// A logarithmic axis over whole decades that holds a range of positive values, and
// the mapping of a value onto a pixel span.
#include <algorithm>
#include <cmath>

namespace gyro::analysis {

class LogAxis {
public:
    LogAxis() = default;
    LogAxis(double smallest, double largest)
    {
        low_ = std::floor(std::log10(smallest));
        high_ = std::ceil(std::log10(largest));
        if (high_ <= low_)
            high_ = low_ + 1;
    }
    int lowDecade() const { return static_cast<int>(low_); }
    int highDecade() const { return static_cast<int>(high_); }
    // 0 at the low end, 1 at the high end.
    double fraction(double value) const { return (std::log10(value) - low_) / (high_ - low_); }
    double pixel(double value, double from, double to) const { return from + (to - from) * fraction(value); }

private:
    double low_ = 0, high_ = 1;
};

} // namespace gyro::analysis
