#pragma once
// The physics of the simulated sensor: the motion it feels, its bias, noise and
// temperature. The register file and the protocol live in SimSensor; this is only
// what the sensing element would measure.
#include <cstdint>
#include <functional>

namespace gyro::sim {

// Angular rate in deg/s applied to the sensor at a time in seconds since the
// simulation started (never negative).
using MotionProfile = std::function<double(double seconds)>;

// A sine of 60 deg/s with a 2.5 s period (about one chart sweep at the program's
// default loop delay) plus steps: every 5 s slot holds, one time in four, an extra
// constant turn of -60 to +60 deg/s in steps of 10, picked from the seed.
MotionProfile demoMotion(std::uint32_t seed);

struct SensorModel {
    MotionProfile motion; // empty: the sensor is at rest

    double biasDegPerSec = 0.0; // rate bias at 25 C, before any offset correction
    double biasPerDegC = 0.02;  // bias change per degree away from 25 C
    // The rate noise, all of it added before the digital filter:
    // - white noise: this rms a sample, independent from sample to sample, so its
    //   density (angle random walk) is rms / sqrt(sample rate): at 2048 samples a
    //   second 0.5 / sqrt(2048) = 0.01105 deg/sqrt(s) = 0.663 deg/sqrt(h) (two-sided
    //   PSD 1.22e-4 (deg/s)^2/Hz; the one-sided one is twice that);
    double noiseWideDegPerSec = 0.5;   // rms rate noise with the 300 Hz analog bandwidth
    double noiseNarrowDegPerSec = 0.2; // rms rate noise with the 50 Hz analog bandwidth
    // - bias instability B and rate random walk K (RateNoise.h): an Allan floor of
    //   0.664 B = 0.002 deg/s (B = 10.8 deg/h) and K = 21.6 deg/h/sqrt(h).
    double biasInstabilityDegPerSec = 0.003;
    double rateRandomWalkDegPerSecPerRootSec = 1e-4;
    double selfTestDegPerSec = 40.0; // rate shift while self-test is on

    // Temperature: ambient, plus self-heating that settles after power-up, plus a slow wander.
    double ambientC = 25.0;
    double warmUpC = 1.5;
    double warmUpSeconds = 300.0; // time constant of the self-heating
    double wanderC = 0.4;
    double wanderSeconds = 900.0; // period of the wander
    double wanderPhase = 0.0;     // radians
    double temperatureNoiseC = 0.05;

    double supplyNoiseVolts = 0.002;
    double auxAdcNoiseCounts = 0.5;

    // Temperature without noise, from the seconds since the simulation started and since power-up.
    double temperatureC(double sinceStart, double sincePowerUp) const;
    // Bias at a temperature, deg/s.
    double biasAt(double celsius) const { return biasDegPerSec + biasPerDegC * (celsius - 25.0); }
    // Every noise term to 0, for tests that want exact readings.
    void silenceNoise();
};

// The model a sensor with this seed starts with: a bias of 0.5 to 3 deg/s of either sign,
// an ambient of 24 to 26 C, a wander phase, and the demo motion.
SensorModel makeSensorModel(std::uint32_t seed);

} // namespace gyro::sim
