#pragma once
// The small message window shown while the program starts (the delay calibration
// takes some seconds).
#include "GyroState.h"

#include <QWidget>
#include <memory>

class QLabel;

namespace Ui {
class frmMsg;
}

namespace gyro {

class frmMsg final : public QWidget {
    Q_OBJECT
public:
    explicit frmMsg(GyroState& g, QWidget* parent = nullptr);
    ~frmMsg() override;

    // Sets the caption to the application title.
    void Form_Load();
    QLabel* lblMsg() const;

private:
    GyroState& g;
    std::unique_ptr<Ui::frmMsg> ui;
};

} // namespace gyro
