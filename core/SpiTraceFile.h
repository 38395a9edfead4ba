#pragma once
// The SPI trace written to a file: one line per frame, "SECONDS IFACE OUT IN",
// SECONDS a monotonic time with microseconds, IFACE "usb" or "par", OUT and IN
// four upper-case hex digits, IN "----" where the transport samples no answer.
// Lines are flushed as they are written, so a trace survives a crash. A write that
// fails (a full disk) is told once through the failure handler; the trace then
// stops writing, and failed() stays true for the program's exit status.
#include "Clock.h"
#include "SpiTrace.h"

#include <QFile>
#include <QString>
#include <functional>
#include <memory>

namespace gyro {

class SpiTraceFile final : public SpiTrace {
public:
    // Opens `path` for appending; nullptr and a message in `error` when it cannot.
    static std::unique_ptr<SpiTraceFile> open(const QString& path, Clock& clock, QString* error);

    void frame(SpiInterface iface, std::uint16_t out, int in) override;

    // Called once, with a message naming the file and the reason, when a write fails.
    void setFailureHandler(std::function<void(const QString&)> handler) { onFailure_ = std::move(handler); }
    bool failed() const { return failed_; }
    const QString& failure() const { return failure_; }

    // One trace line without its line end.
    static QByteArray formatLine(double seconds, SpiInterface iface, std::uint16_t out, int in);

private:
    SpiTraceFile(Clock& clock) : clock_(clock) {}
    Clock& clock_;
    QFile file_;
    std::function<void(const QString&)> onFailure_;
    bool failed_ = false;
    QString failure_;
};

} // namespace gyro
