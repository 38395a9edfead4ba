#include "ChartScale.h"

#include "NumberText.h"

#include <cmath>

namespace gyro {

void RateScaleSteps::click(std::int16_t productNumber, double& hiPk, double& lowPk)
{
    // A new model (or the first click) starts the steps from the current top.
    if (lastProduct_ != productNumber) {
        lastProduct_ = productNumber;
        fullScaleTop_ = hiPk;
        step_ = 1;
    }
    if (step_ == 4) {
        step_ = 0;
        hiPk = fullScaleTop_;
    }
    hiPk = RoundHalfEven(hiPk / std::pow(2.0, step_) * 100.0) / 100.0;
    lowPk = -hiPk;
    ++step_;
}

void TemperatureScaleSteps::click(std::int16_t productNumber, double& hiPk, double& lowPk)
{
    if (lastProduct_ != productNumber) {
        lastProduct_ = productNumber;
        step_ = 1;
    }
    if (step_ == 3)
        step_ = 0;
    static constexpr double Tops[] = {90, 60, 40};
    static constexpr double Bottoms[] = {-45, 0, 20};
    hiPk = Tops[step_];
    lowPk = Bottoms[step_];
    ++step_;
}

} // namespace gyro
