#pragma once
// The sensor's two alarms. Each watches the counts of one output (the source in Alm_Ctrl:
// 1 supply, 2 rate, 5 auxiliary ADC, 6 temperature; any other number switches it off) and
// compares them with the level in bits 13..0 of its magnitude word (unsigned for the supply,
// 14-bit two's complement otherwise): bit 15 set alarms above the level, clear below it.
//   - Magnitude mode: the mean of the last n samples is compared.
//   - Rate-of-change mode (Alm_Ctrl bit 11 for alarm 1, bit 15 for alarm 2): the change
//     from n samples ago to the newest sample is compared.
// n is the alarm's Alm_Smpl word (0 counts as 1). While fewer samples exist, the oldest
// available stands in.
#include <array>
#include <cstdint>

namespace gyro::sim {

class SensorAlarms {
public:
    // The counts of one sample, signed as each output holds them.
    struct Sample {
        int supply;
        int rate;
        int aux;
        int temperature;
    };
    struct Words {
        std::uint16_t almCtrl;
        std::uint16_t mag1;
        std::uint16_t mag2;
        std::uint16_t smpl1;
        std::uint16_t smpl2;
    };

    void clear() { filled_ = 0; }
    void record(const Sample& sample);
    // Status bits 8 (alarm 1) and 9 (alarm 2) for the newest sample.
    std::uint16_t statusBits(const Words& words) const;

private:
    static constexpr int HistoryLength = 256; // the newest sample and 255 before it
    enum Source { Supply, Rate, Aux, Temperature, SourceCount, None = SourceCount };
    static Source sourceOf(int number);
    bool active(int sourceNumber, bool rateOfChange, std::uint16_t magnitude, std::uint16_t samples) const;
    int countAgo(Source source, int ago) const; // ago 0 = newest, limited to what exists

    std::array<std::array<int, HistoryLength>, SourceCount> history_{};
    int newest_ = 0;
    int filled_ = 0;
};

} // namespace gyro::sim
