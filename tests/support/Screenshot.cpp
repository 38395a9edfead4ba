#include "Screenshot.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace gyro::test {

QString SaveScreenshot(QWidget& widget, const QString& name)
{
    // A test run by hand from any folder still saves into the build tree.
    const QString dir =
        qEnvironmentVariable("GYRO_SCREENSHOT_DIR", QStringLiteral(GYRO_BUILD_SCREENSHOT_DIR));
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    return widget.grab().save(path) ? path : QString();
}

} // namespace gyro::test
