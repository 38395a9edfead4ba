// Renders the program's SVG icon as a square PNG of one size, for the icon
// theme's fixed-size folders (docks and menus that do not draw SVG):
//   gyro_render_icon ICON.svg SIZE OUT.png
#include "BuildToolApp.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv)
{
    BuildToolApp app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    bool sizeOk = false;
    const int size = arguments.size() == 4 ? arguments[2].toInt(&sizeOk) : 0;
    if (!sizeOk || size < 1 || size > 4096) {
        std::fputs("usage: gyro_render_icon ICON.svg SIZE OUT.png\n", stderr);
        return 2;
    }
    QSvgRenderer svg(arguments[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "gyro_render_icon: %s is no SVG drawing\n", qPrintable(arguments[1]));
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    if (!image.save(arguments[3], "PNG")) {
        std::fprintf(stderr, "gyro_render_icon: cannot write %s\n", qPrintable(arguments[3]));
        return 1;
    }
    return 0;
}
