#pragma once
// What the build-time programs here share: a Qt application on the offscreen
// platform (a build machine may have no display) that keeps the build's output
// free of Qt's note about a missing XDG_RUNTIME_DIR, which a build run as root
// or from a service always lacks and which changes nothing here.
#include <QGuiApplication>
#include <QString>

inline void DropRuntimeDirNote(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    qt_message_output(type, context, message);
}

class BuildToolApp : public QGuiApplication {
public:
    BuildToolApp(int& argc, char** argv) : QGuiApplication((prepare(), argc), argv) {}

private:
    static void prepare()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(DropRuntimeDirNote);
    }
};
