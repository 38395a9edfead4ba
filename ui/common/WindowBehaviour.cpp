#include "WindowBehaviour.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QSignalBlocker>
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

void ShowOptionPair(QAbstractButton& whenSet, QAbstractButton& whenClear, std::optional<bool> bit)
{
    // Both are blocked: selecting one clears the other, and that toggles it too.
    const QSignalBlocker blockSet(whenSet);
    const QSignalBlocker blockClear(whenClear);
    if (bit) {
        (*bit ? whenSet : whenClear).setChecked(true);
        return;
    }
    for (QAbstractButton* b : {&whenSet, &whenClear}) {
        const bool exclusive = b->autoExclusive();
        b->setAutoExclusive(false); // an exclusive pair cannot be cleared otherwise
        b->setChecked(false);
        b->setAutoExclusive(exclusive);
    }
}

void UseFixedPitchFont(QWidget& widget)
{
    widget.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

} // namespace gyro
