#pragma once
// The sensor's digital rate filter: the mean of the last `taps` samples (a boxcar),
// with room for the longest setting.
#include "SensorRegisters.h"

#include <algorithm>
#include <array>

namespace gyro::sim {

class RateFilter {
public:
    void clear()
    {
        filled_ = 0;
        newest_ = 0;
    }

    void push(double sample)
    {
        newest_ = (newest_ + 1) % MaxFilterTaps;
        ring_[static_cast<std::size_t>(newest_)] = sample;
        if (filled_ < MaxFilterTaps)
            ++filled_;
    }

    // Mean of the last `taps` samples, or of all there are while fewer have been taken; 0 before any.
    double mean(int taps) const
    {
        const int n = std::min(taps, filled_);
        if (n <= 0)
            return 0.0;
        // The newest n entries, possibly wrapping round the end of the ring.
        const int start = newest_ - n + 1;
        double sum = 0.0;
        if (start < 0)
            sum = sumOf(start + MaxFilterTaps, MaxFilterTaps);
        return (sum + sumOf(std::max(start, 0), newest_ + 1)) / n;
    }

private:
    double sumOf(int from, int to) const
    {
        double sum = 0.0;
        for (int i = from; i < to; ++i)
            sum += ring_[static_cast<std::size_t>(i)];
        return sum;
    }

    std::array<double, MaxFilterTaps> ring_{};
    int newest_ = 0;
    int filled_ = 0;
};

} // namespace gyro::sim
