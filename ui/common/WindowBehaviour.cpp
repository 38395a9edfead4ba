#include "WindowBehaviour.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QWidget>

namespace gyro {

void PlaceAtMainWindowCorner(QWidget& window, const QWidget* mainWindow)
{
    if (mainWindow != nullptr)
        window.move(mainWindow->window()->pos());
}

void SelectOption(QAbstractButton& button, const std::function<void()>& clickHandler)
{
    button.setChecked(true);
    clickHandler();
}

void UseFixedPitchFont(QWidget& widget)
{
    widget.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

} // namespace gyro
