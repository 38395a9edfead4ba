#pragma once
// What a long analysis runs with: progress reports (the stage and the fraction of it
// done, often enough for a progress bar; the window yields to its event loop there)
// and a cancel check asked as often.
#include <functional>

namespace gyro::analysis {

struct AnalysisHooks {
    std::function<void(const char* stage, double fraction)> progress;
    std::function<bool()> cancelRequested;

    void report(const char* stage, double fraction) const
    {
        if (progress)
            progress(stage, fraction);
    }
    bool cancelled() const { return cancelRequested && cancelRequested(); }
};

} // namespace gyro::analysis
