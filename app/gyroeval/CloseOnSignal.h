#pragma once
// Ctrl+C in the terminal, SIGTERM and SIGHUP (the terminal or ssh session that
// started the program closed) close the main window the normal way, so a
// program stopped from outside still writes its settings file. The signal handler
// only writes a byte into a pipe; the event loop reads it and runs the close. On
// Windows, Ctrl+C, Ctrl+Break and closing the console that started the program do
// the same through a console control handler.
#include <QObject>
#include <functional>

class QSocketNotifier;

namespace gyro {

class CloseOnSignal final : public QObject {
    Q_OBJECT
public:
    // `close` runs on the user-interface thread, once per signal received.
    explicit CloseOnSignal(std::function<void()> close, QObject* parent = nullptr);
    ~CloseOnSignal() override;

    // Whether a signal has arrived since the handler was installed, also one whose
    // close request has not yet run (the event loop was not turning, as during
    // the start-up calibration).
    static bool Received();

#ifdef Q_OS_WIN
    // The close, queued here from the console's control thread.
    void runClose();
#endif

private:
    std::function<void()> close_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace gyro
