#include "FailingWrites.h"

#include <QByteArray>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace gyro::test {

#ifdef Q_OS_UNIX

namespace {

constexpr uid_t NobodyId = 65534;

bool applyLimits(const ChildLimits& limits)
{
    if (limits.fileSizeLimit >= 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(limits.fileSizeLimit),
                           static_cast<rlim_t>(limits.fileSizeLimit)};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return false;
    }
    if (limits.asUnprivilegedUser && ::geteuid() == 0)
        return ::setgid(NobodyId) == 0 && ::setuid(NobodyId) == 0;
    return true;
}

} // namespace

ChildOutcome RunInLimitedChild(const ChildLimits& limits, const std::function<bool(QString* reason)>& work)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (!applyLimits(limits))
            ::_exit(3);
        QString reason;
        const bool ok = work(&reason);
        const QByteArray text = reason.toUtf8();
        [[maybe_unused]] const auto written =
            ::write(channel[1], text.constData(), static_cast<size_t>(text.size()));
        ::_exit(ok ? 0 : 1);
    }
    ::close(channel[1]);
    ChildOutcome outcome;
    if (child < 0) {
        ::close(channel[0]);
        return outcome;
    }
    QByteArray text;
    char buffer[256];
    ssize_t got = 0;
    while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<qsizetype>(got));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    outcome.ran = WIFEXITED(status) && WEXITSTATUS(status) <= 1;
    outcome.ok = outcome.ran && WEXITSTATUS(status) == 0;
    outcome.reason = QString::fromUtf8(text);
    return outcome;
}

#else
ChildOutcome RunInLimitedChild(const ChildLimits&, const std::function<bool(QString* reason)>&)
{
    return {};
}
#endif

} // namespace gyro::test
