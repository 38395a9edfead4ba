#include "CloseOnSignal.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <atomic>
#include <windows.h>
#endif

namespace gyro {

#ifdef Q_OS_UNIX
namespace {

// Ctrl+C, SIGTERM, and SIGHUP for a closed terminal or ssh session.
constexpr int HandledSignals[] = {SIGINT, SIGTERM, SIGHUP};
int signalPipe[2] = {-1, -1}; // [0] read by the event loop, [1] written by the handler
volatile std::sig_atomic_t signalReceived = 0;

extern "C" void onTerminationSignal(int)
{
    signalReceived = 1;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1); // async-signal-safe
}

} // namespace

CloseOnSignal::CloseOnSignal(std::function<void()> close, QObject* parent)
    : QObject(parent), close_(std::move(close))
{
    signalReceived = 0;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return; // the default signal handling stays: the program just ends
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const auto read = ::read(signalPipe[0], &byte, 1);
        close_();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : HandledSignals)
        ::sigaction(signal, &action, nullptr);
}

bool CloseOnSignal::Received()
{
    return signalReceived != 0;
}

CloseOnSignal::~CloseOnSignal()
{
    signalReceived = 0;
    if (notifier_ == nullptr)
        return;
    for (const int signal : HandledSignals)
        ::signal(signal, SIG_DFL);
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}
#elif defined(Q_OS_WIN)
namespace {

std::atomic<bool> signalReceived{false};
// The handler that the console's control thread hands the close to.
std::atomic<CloseOnSignal*> activeHandler{nullptr};

// Runs on the console's control thread: the close is queued to the event loop.
// Closing the console window, logging off or shutting down end the process when
// this returns, so it waits for the program to close itself.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    signalReceived = true;
    if (CloseOnSignal* handler = activeHandler.load())
        QMetaObject::invokeMethod(handler, &CloseOnSignal::runClose, Qt::QueuedConnection);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        ::Sleep(20000);
    return TRUE;
}

} // namespace

CloseOnSignal::CloseOnSignal(std::function<void()> close, QObject* parent)
    : QObject(parent), close_(std::move(close))
{
    signalReceived = false;
    activeHandler = this;
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

CloseOnSignal::~CloseOnSignal()
{
    ::SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    activeHandler = nullptr;
    signalReceived = false;
}

bool CloseOnSignal::Received()
{
    return signalReceived;
}

void CloseOnSignal::runClose()
{
    close_();
}
#else
// Elsewhere the window system's own close requests are the only way out.
CloseOnSignal::CloseOnSignal(std::function<void()> close, QObject* parent)
    : QObject(parent), close_(std::move(close))
{
}

CloseOnSignal::~CloseOnSignal() = default;

bool CloseOnSignal::Received()
{
    return false;
}
#endif

} // namespace gyro
