#pragma once
// Makes file writes fail for real, without mounting anything: the work runs in a
// forked child under a small file size limit (SIGXFSZ ignored, so the write
// returns EFBIG instead of killing the child), or as an unprivileged user, for
// whom a folder without write permission stops writes even when the tests run
// as root.
#include <QString>
#include <functional>

namespace gyro::test {

struct ChildLimits {
    long long fileSizeLimit = -1;    // bytes; -1 leaves the limit as it is
    bool asUnprivilegedUser = false; // drop root (to "nobody") before the work
};

struct ChildOutcome {
    bool ran = false; // the child started and ended normally
    bool ok = false;  // what `work` returned
    QString reason;   // what `work` put into its reason
};

// Runs `work` in a forked child under `limits` and reports its result.
ChildOutcome RunInLimitedChild(const ChildLimits& limits, const std::function<bool(QString* reason)>& work);

} // namespace gyro::test
