#pragma once
// Ending the program cleanly when Ctrl+C or SIGTERM arrives during start-up (the
// calibration, a start-up message, the card selection window shown at load).
// The choices the user made before the stop are kept; values the program only
// fell back to because a window was cut short are not, and a settings file that
// nothing changed is left as it was.
#include "InterfaceSettings.h"
#include "Main.h"

#include <QObject>
#include <optional>

namespace gyro {

class StartUpStop final : public QObject {
public:
    explicit StartUpStop(GyroState& g);

    // On the user-interface thread, once a stop is seen during start-up: notes the
    // interface values as they stand (the first call counts), closes every modal
    // window now open and, from now on, each one as soon as it shows.
    void request();

    // After Main returned stopped: writes CommPort.cfg (`path`) only when the
    // values noted at the stop differ from what the file gave. Returns false with
    // the user's message in `failure` when that write failed.
    bool finish(const ProgramWindows& windows, const QString& path, QString* failure);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    GyroState& g;
    std::optional<InterfaceValues> atStop_;
};

} // namespace gyro
