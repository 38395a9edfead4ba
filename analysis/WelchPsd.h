#pragma once
// The one-sided power spectral density of a rate series by Welch's method: Hann
// window, 50 % overlapping segments, each segment's mean removed, the periodograms
// averaged. FFTW does the transforms. One-sided: the power of the negative
// frequencies is folded onto the positive ones, so white noise of per-sample
// variance s^2 at rate fs reads 2 s^2 / fs.
#include "AnalysisHooks.h"
#include "SampleStore.h"

#include <cstdint>
#include <vector>

namespace gyro::analysis {

// The longest segment: 16384 samples (1/8 Hz resolution at 2048 samples a second,
// thousands of averaged segments in a long log).
inline constexpr std::int64_t MaxPsdSegment = 1 << 14;
inline constexpr std::int64_t MinPsdSegment = 8;

struct PsdResult {
    std::vector<double> frequency; // Hz, 0 to fs / 2
    std::vector<double> density;   // one-sided, (units)^2 / Hz
    std::int64_t segmentLength = 0;
    std::int64_t segments = 0;
    // The white-noise density: the square root of the mean one-sided density over a
    // band (WhiteNoiseBand); fs / 20 to fs / 4 unless set again.
    double whiteDensity = 0; // units / sqrt(Hz), one-sided
    double bandLow = 0, bandHigh = 0;
};

// Reads the white-noise density again over `low` .. `high` Hz (kept within the
// spectrum); nothing when no bin lies there.
void SetWhiteNoiseBand(PsdResult& psd, double low, double high);

// The segment length for n samples: the largest power of two up to n / 2, at most
// MaxPsdSegment; 0 when n is too short for a spectrum.
std::int64_t PsdSegmentLength(std::int64_t n);

// Empty (segments == 0) when the series is too short, or after a cancel.
PsdResult WelchPsd(const SampleStore<double>& samples, double sampleRate, const AnalysisHooks& hooks);

} // namespace gyro::analysis
