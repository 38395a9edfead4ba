#include "PosixProcessRunner.h"

#include <QByteArray>
#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace gyro {

std::optional<int> PosixProcessRunner::runAndWait(const QString& commandLine)
{
    QByteArray shell("/bin/sh");
    QByteArray option("-c");
    QByteArray command = commandLine.toLocal8Bit();
    char* argv[] = {shell.data(), option.data(), command.data(), nullptr};

    pid_t pid = 0;
    if (::posix_spawn(&pid, shell.constData(), nullptr, nullptr, argv, environ) != 0)
        return std::nullopt;

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return std::nullopt;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return std::nullopt;
}

} // namespace gyro
