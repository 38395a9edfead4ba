#pragma once
// Small helpers the main window's panels share: the number a text box or label
// holds, and the colours of a label. Each setter changes the widget only when the
// value differs, so a readout loop does not repaint what stays the same.
#include <QColor>
#include <QPalette>
#include <QString>

class QLabel;
class QWidget;

namespace gyro {

// The number a text holds: read in the system's number format when the whole text
// is a number, otherwise its leading number (0 when there is none).
double TextNumber(const QString& text);

void SetText(QLabel* label, const QString& text);
// The label's background colour; the label paints its background from then on.
void SetBackColor(QWidget* widget, const QColor& color);
QColor BackColor(const QWidget* widget);
// The colour of the label's text.
void SetForeColor(QWidget* widget, const QColor& color);
QColor ForeColor(const QWidget* widget);
// A colour of the system palette (button text, grey text, window background).
QColor SystemColor(QPalette::ColorGroup group, QPalette::ColorRole role);

} // namespace gyro
