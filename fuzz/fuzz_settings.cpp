// CommPort.cfg fed arbitrary bytes: loading never fails, and what was loaded,
// saved and loaded again gives the same four values and the same saved text.
#include "FuzzState.h"
#include "InterfaceSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace gyro;

namespace {

// A folder in memory where there is one: each save ends with an fsync, which
// on a disk would hold every run for milliseconds.
const QTemporaryDir& folder()
{
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                       ? QStringLiteral("/dev/shm/gyro-fuzz-XXXXXX")
                                       : QDir::tempPath() + QStringLiteral("/gyro-fuzz-XXXXXX"));
    return dir;
}

void writeRaw(const QString& path, const std::uint8_t* data, std::size_t size)
{
    QFile file(path);
    fuzz::Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "input file opens");
    fuzz::Check(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
                    static_cast<qint64>(size),
                "input file written");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString input = folder().filePath(QStringLiteral("input.cfg"));
    const QString saved = folder().filePath(QStringLiteral("CommPort.cfg"));
    writeRaw(input, data, size);

    fuzz::FuzzState first;
    SetInterfaceDefaults(first.g);
    if (!LoadInterfaceSettings(first.g, input).ok())
        fuzz::Check(ChosenInterface(first.g) == InterfaceKind::None,
                    "a port that cannot be used starts as none");
    const InterfaceValues loaded = InterfaceValuesOf(first.g);

    QString reason;
    fuzz::Check(SaveInterfaceSettings(first.g, saved, &reason), "save succeeds", reason);
    QFile file(saved);
    fuzz::Check(file.open(QIODevice::ReadOnly), "saved file opens");
    const QByteArray text = file.readAll();
    fuzz::Check(text == InterfaceSettingsText(first.g), "saved text is the writer's text");
    fuzz::Check(text.count('\n') == 4, "four lines", QString::fromLatin1(text));

    fuzz::FuzzState second;
    fuzz::Check(LoadInterfaceSettings(second.g, saved).ok() ||
                    ChosenInterface(second.g) == InterfaceKind::None,
                "a reload refuses only what the first load refused");
    fuzz::Check(InterfaceValuesOf(second.g) == loaded, "reload gives the same values");
    return 0;
}
