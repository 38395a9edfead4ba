#include "PendingChange.h"

#include "WidgetText.h"

#include <QWidget>

namespace gyro {

namespace {
const QColor PendingColor(255, 255, 0);
} // namespace

void MarkPending(QWidget* updateButton)
{
    SetBackColor(updateButton, PendingColor);
}

void ClearPending(QWidget* updateButton)
{
    SetBackColor(updateButton, SystemColor(QPalette::Active, QPalette::Button));
}

bool IsPending(const QWidget* updateButton)
{
    return BackColor(updateButton) == PendingColor;
}

BusyMarker LineBusyMarker(QWidget* line, UiHost& ui)
{
    return BusyMarker{[line, &ui] {
                          line->show();
                          ui.yield();
                      },
                      [line] { line->hide(); }};
}

} // namespace gyro
