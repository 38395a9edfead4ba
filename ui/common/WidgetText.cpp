#include "WidgetText.h"

#include "NumberText.h"

#include <QApplication>
#include <QLabel>

namespace gyro {

double TextNumber(const QString& text)
{
    return IsNumeric(text) ? LocaleNumber(text) : LeadingNumber(text);
}

void SetText(QLabel* label, const QString& text)
{
    if (label->text() != text)
        label->setText(text);
}

void SetBackColor(QWidget* widget, const QColor& color)
{
    widget->setAutoFillBackground(true);
    if (BackColor(widget) == color)
        return;
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), color);
    widget->setPalette(palette);
}

QColor BackColor(const QWidget* widget)
{
    return widget->palette().color(widget->backgroundRole());
}

void SetForeColor(QWidget* widget, const QColor& color)
{
    if (ForeColor(widget) == color)
        return;
    QPalette palette = widget->palette();
    palette.setColor(widget->foregroundRole(), color);
    widget->setPalette(palette);
}

QColor ForeColor(const QWidget* widget)
{
    return widget->palette().color(widget->foregroundRole());
}

QColor SystemColor(QPalette::ColorGroup group, QPalette::ColorRole role)
{
    return QApplication::palette().color(group, role);
}

} // namespace gyro
