#include "WelchPsd.h"

#include <cmath>
#include <fftw3.h>
#include <memory>
#include <numbers>

namespace gyro::analysis {

namespace {

struct FftwFree {
    void operator()(void* p) const { fftw_free(p); }
};
struct PlanDestroy {
    void operator()(fftw_plan_s* p) const { fftw_destroy_plan(p); }
};

} // namespace

std::int64_t PsdSegmentLength(std::int64_t n)
{
    std::int64_t length = MinPsdSegment;
    if (n / 2 < length)
        return 0;
    while (length * 2 <= n / 2 && length * 2 <= MaxPsdSegment)
        length *= 2;
    return length;
}

PsdResult WelchPsd(const SampleStore<double>& samples, double sampleRate, const AnalysisHooks& hooks)
{
    PsdResult result;
    const std::int64_t n = samples.size();
    const std::int64_t length = PsdSegmentLength(n);
    if (length == 0)
        return result;
    const auto L = static_cast<std::size_t>(length);
    const std::size_t half = L / 2;
    const std::size_t bins = half + 1;

    std::unique_ptr<double, FftwFree> in(static_cast<double*>(fftw_malloc(sizeof(double) * L)));
    std::unique_ptr<fftw_complex, FftwFree> out(
        static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * bins)));
    std::unique_ptr<fftw_plan_s, PlanDestroy> plan(
        fftw_plan_dft_r2c_1d(static_cast<int>(L), in.get(), out.get(), FFTW_ESTIMATE));

    std::vector<double> window(L);
    double windowPower = 0;
    for (std::size_t j = 0; j < L; ++j) {
        // The periodic Hann window, which tiles exactly at 50 % overlap.
        window[j] =
            0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(j) / static_cast<double>(L));
        windowPower += window[j] * window[j];
    }

    std::vector<double> accumulated(bins, 0.0);
    std::vector<double> segment(L);
    auto reader = samples.reader(0);
    for (std::size_t j = 0; j < half; ++j)
        segment[half + j] = reader.next(); // shifted down into the first half below
    std::int64_t used = static_cast<std::int64_t>(half);
    while (used + static_cast<std::int64_t>(half) <= n) {
        std::copy(segment.begin() + static_cast<std::ptrdiff_t>(half), segment.end(), segment.begin());
        for (std::size_t j = 0; j < half; ++j)
            segment[half + j] = reader.next();
        used += static_cast<std::int64_t>(half);
        double mean = 0;
        for (double v : segment)
            mean += v;
        mean /= static_cast<double>(L);
        for (std::size_t j = 0; j < L; ++j)
            in.get()[j] = (segment[j] - mean) * window[j];
        fftw_execute(plan.get());
        for (std::size_t k = 0; k < bins; ++k) {
            const double re = out.get()[k][0];
            const double im = out.get()[k][1];
            accumulated[k] += re * re + im * im;
        }
        ++result.segments;
        if (result.segments % 64 == 0) {
            hooks.report("spectrum", static_cast<double>(used) / static_cast<double>(n));
            if (hooks.cancelled())
                return PsdResult{};
        }
    }
    if (samples.readFailed())
        return PsdResult{};

    result.segmentLength = length;
    result.frequency.resize(bins);
    result.density.resize(bins);
    const double scale = 1.0 / (sampleRate * windowPower * static_cast<double>(result.segments));
    for (std::size_t k = 0; k < bins; ++k) {
        const bool edge = k == 0 || k == half; // zero and Nyquist have no negative twin
        result.frequency[k] = sampleRate * static_cast<double>(k) / static_cast<double>(L);
        result.density[k] = accumulated[k] * scale * (edge ? 1.0 : 2.0);
    }
    SetWhiteNoiseBand(result, sampleRate / 20.0, sampleRate / 4.0);
    return result;
}

void SetWhiteNoiseBand(PsdResult& psd, double low, double high)
{
    double sum = 0;
    int count = 0;
    // Neither the zero bin (the removed mean) nor the Nyquist bin.
    for (std::size_t k = 1; k + 1 < psd.frequency.size(); ++k) {
        if (psd.frequency[k] >= low && psd.frequency[k] <= high) {
            sum += psd.density[k];
            ++count;
        }
    }
    if (count == 0)
        return;
    psd.bandLow = std::max(low, psd.frequency[1]);
    psd.bandHigh = std::min(high, psd.frequency[psd.frequency.size() - 2]);
    psd.whiteDensity = std::sqrt(sum / count);
}

} // namespace gyro::analysis
