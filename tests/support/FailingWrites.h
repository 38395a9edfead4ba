#pragma once
// Makes file writes fail for real, without mounting anything: the work runs in a
// forked child under a small file size limit (SIGXFSZ ignored, so the write
// returns EFBIG instead of killing the child), or as an unprivileged user, for
// whom a folder without write permission stops writes even when the tests run
// as root.
#include <QString>
#include <QtGlobal>
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

// Whether this system has forked children with file size limits and user ids
// (POSIX); a test that needs them skips elsewhere.
#ifdef Q_OS_UNIX
inline constexpr bool LimitedChildrenAvailable = true;
#else
inline constexpr bool LimitedChildrenAvailable = false;
#endif
inline constexpr const char* NoLimitedChildren = "needs forked children under file size limits (POSIX)";

// Runs `work` in a forked child under `limits` and reports its result (nothing
// ran where LimitedChildrenAvailable is false).
ChildOutcome RunInLimitedChild(const ChildLimits& limits, const std::function<bool(QString* reason)>& work);

} // namespace gyro::test
