#include "frmMsg.h"

#include "ui_frmMsg.h"

namespace gyro {

frmMsg::frmMsg(GyroState& gIn, QWidget* parent) : QWidget(parent), g(gIn), ui(std::make_unique<Ui::frmMsg>())
{
    ui->setupUi(this);
    // 13.5 points, a size the form file cannot hold.
    QFont font = ui->lblMsg->font();
    font.setPointSizeF(13.5);
    ui->lblMsg->setFont(font);
}

frmMsg::~frmMsg() = default;

void frmMsg::Form_Load()
{
    setWindowTitle(g.AppTitle);
}

QLabel* frmMsg::lblMsg() const
{
    return ui->lblMsg;
}

} // namespace gyro
