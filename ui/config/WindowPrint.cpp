#include "WindowPrint.h"

#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QWidget>

namespace gyro {

bool PrintWindowImage(QWidget& window, QPrinter& printer)
{
    const QPixmap image = window.grab();
    QPainter painter;
    if (image.isNull() || !painter.begin(&printer))
        return false;
    const QRect page = painter.viewport();
    const QSize fitted = image.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(page.topLeft(), fitted), image);
    return painter.end();
}

} // namespace gyro
