#include "SensorAlarms.h"

#include <algorithm>

namespace gyro::sim {

void SensorAlarms::record(const Sample& sample)
{
    newest_ = (newest_ + 1) % HistoryLength;
    const auto i = static_cast<std::size_t>(newest_);
    history_[Supply][i] = sample.supply;
    history_[Rate][i] = sample.rate;
    history_[Aux][i] = sample.aux;
    history_[Temperature][i] = sample.temperature;
    filled_ = std::min(filled_ + 1, HistoryLength);
}

std::uint16_t SensorAlarms::statusBits(const Words& words) const
{
    std::uint16_t bits = 0;
    if (active((words.almCtrl >> 8) & 0x7, (words.almCtrl & 0x0800) != 0, words.mag1, words.smpl1))
        bits |= 1u << 8;
    if (active((words.almCtrl >> 12) & 0x7, (words.almCtrl & 0x8000) != 0, words.mag2, words.smpl2))
        bits |= 1u << 9;
    return bits;
}

SensorAlarms::Source SensorAlarms::sourceOf(int number)
{
    switch (number) {
    case 1:
        return Supply;
    case 2:
        return Rate;
    case 5:
        return Aux;
    case 6:
        return Temperature;
    default:
        return None;
    }
}

int SensorAlarms::countAgo(Source source, int ago) const
{
    const int back = std::min(ago, filled_ - 1);
    const int i = (newest_ - back + HistoryLength) % HistoryLength;
    return history_[static_cast<std::size_t>(source)][static_cast<std::size_t>(i)];
}

bool SensorAlarms::active(int sourceNumber, bool rateOfChange, std::uint16_t magnitude,
                          std::uint16_t samples) const
{
    const Source source = sourceOf(sourceNumber);
    if (source == None || filled_ == 0)
        return false;
    const int field = magnitude & 0x3FFF;
    const int level = (source == Supply || field < 0x2000) ? field : field - 0x4000;
    const bool above = (magnitude & 0x8000) != 0;
    const int n = std::max(1, samples & 0xFF);

    double value = 0.0;
    if (rateOfChange) {
        value = countAgo(source, 0) - countAgo(source, n);
    } else {
        const int taken = std::min(n, filled_);
        for (int k = 0; k < taken; ++k)
            value += countAgo(source, k);
        value /= taken;
    }
    return above ? value > level : value < level;
}

} // namespace gyro::sim
