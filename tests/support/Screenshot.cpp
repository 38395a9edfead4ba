#include "Screenshot.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace gyro::test {

QString SaveScreenshot(QWidget& widget, const QString& name)
{
    const QString dir = qEnvironmentVariable("GYRO_SCREENSHOT_DIR", QStringLiteral("screenshots"));
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    return widget.grab().save(path) ? path : QString();
}

} // namespace gyro::test
