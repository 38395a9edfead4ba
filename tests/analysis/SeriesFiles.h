#pragma once
// Test series and the files they are written to.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace gyro::analysis::test {

// The NBS14 1000-point set of NIST SP 1065: n0 = 1234567890,
// n(i+1) = 16807 n(i) mod 2147483647, each divided by 2147483647.
inline std::vector<double> Nbs14Thousand()
{
    std::vector<double> values;
    std::uint64_t n = 1234567890;
    for (int i = 0; i < 1000; ++i) {
        values.push_back(static_cast<double>(n) / 2147483647.0);
        n = 16807 * n % 2147483647;
    }
    return values;
}

// Gaussian white noise of standard deviation s, from a fixed seed.
inline std::vector<double> WhiteNoise(std::size_t count, double s, unsigned seed)
{
    std::mt19937_64 engine(seed);
    std::normal_distribution<double> normal(0.0, s);
    std::vector<double> values(count);
    for (double& v : values)
        v = normal(engine);
    return values;
}

// A file in a temporary folder holding `text`.
class TextFile {
public:
    explicit TextFile(const QByteArray& text, const QString& name = QStringLiteral("series.txt"))
        : path_(dir_.filePath(name))
    {
        QFile f(path_);
        f.open(QIODevice::WriteOnly);
        f.write(text);
    }
    const QString& path() const { return path_; }

private:
    QTemporaryDir dir_;
    QString path_;
};

// One number a line, with 17 significant digits so the values come back exactly.
inline QByteArray OneNumberALine(const std::vector<double>& values)
{
    QByteArray text;
    for (double v : values)
        text += QByteArray::number(v, 'g', 17) + '\n';
    return text;
}

} // namespace gyro::analysis::test
