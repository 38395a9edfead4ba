#pragma once
// The SPI trace written to a file: one line per frame, "SECONDS IFACE OUT IN",
// SECONDS a monotonic time with microseconds, IFACE "usb" or "par", OUT and IN
// four upper-case hex digits, IN "----" where the transport samples no answer.
// Lines are flushed as they are written, so a trace survives a crash.
#include "Clock.h"
#include "SpiTrace.h"

#include <QFile>
#include <QString>
#include <memory>

namespace gyro {

class SpiTraceFile final : public SpiTrace {
public:
    // Opens `path` for appending; nullptr and a message in `error` when it cannot.
    static std::unique_ptr<SpiTraceFile> open(const QString& path, Clock& clock, QString* error);

    void frame(SpiInterface iface, std::uint16_t out, int in) override;

    // One trace line without its line end.
    static QByteArray formatLine(double seconds, SpiInterface iface, std::uint16_t out, int in);

private:
    SpiTraceFile(Clock& clock) : clock_(clock) {}
    Clock& clock_;
    QFile file_;
};

} // namespace gyro
