#include "RateNoise.h"

#include <cmath>
#include <numbers>

namespace gyro::sim {

double RateNoise::advance(double seconds, double biasInstability, double rateRandomWalk)
{
    if (seconds <= 0)
        return value();
    if (seconds != lastStep_) { // the exponentials only change with the sample period
        for (std::size_t i = 0; i < decay_.size(); ++i)
            decay_[i] = std::exp(-seconds / CorrelationSeconds[i]);
        lastStep_ = seconds;
    }
    if (biasInstability > 0) {
        const double deviation = biasInstability * std::sqrt(std::log(10.0) / std::numbers::pi);
        for (std::size_t i = 0; i < markov_.size(); ++i) {
            const double a = decay_[i];
            markov_[i] = a * markov_[i] + deviation * std::sqrt(1.0 - a * a) * random_.gaussian();
        }
    } else {
        markov_.fill(0.0);
    }
    if (rateRandomWalk > 0)
        walk_ += rateRandomWalk * std::sqrt(seconds) * random_.gaussian();
    else
        walk_ = 0.0;
    return value();
}

double RateNoise::value() const
{
    double sum = walk_;
    for (double m : markov_)
        sum += m;
    return sum;
}

} // namespace gyro::sim
