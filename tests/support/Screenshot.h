#pragma once
// Saves a picture of a widget under build/screenshots/ for people to look at.
#include <QString>

class QWidget;

namespace gyro::test {
// Returns the path written, or an empty text when the picture could not be saved.
QString SaveScreenshot(QWidget& widget, const QString& name);
} // namespace gyro::test
