// The noise analysis of a long still log, from the file to the tables: the
// reading, the exact overlapping Allan deviation at octave taus, the noise terms
// and the spectrum. The logs are written once into the temporary folder in the
// program's layout (header, new-data flags, rate scaled at 0.07326 deg/s a count,
// 2048 samples a second). Peak memory is the process's maximum resident size.
//
//   bench_allan                                the 1M-sample case
//   bench_allan --benchmark_filter=Allan/22    3 h at 2048 samples a second
//   bench_allan --benchmark_filter=Allan/100   10^8 samples
//   bench_allan --write-log PATH N             only write a log of N samples
#include "NoiseAnalysis.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstring>
#include <random>
#include <sys/resource.h>

namespace {

bool writeLog(const QString& path, std::int64_t samples)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const double fs = 2048.0;
    QByteArray text = "File Name,DATALOG_1.csv\r\nDate,12/9/2026\r\nTime,13:00:00\r\nBegin Seconds,1000\r\n";
    text += "End Seconds," + QByteArray::number(1000.0 + static_cast<double>(samples) / fs, 'g', 9) +
            "\r\n \r\nSample #,GyroND,Gyro,\r\n";
    std::mt19937_64 engine(1);
    std::normal_distribution<double> white(0.0, 0.5);
    for (std::int64_t i = 1; i <= samples; ++i) {
        const auto count = static_cast<int>(std::lround((1.3 + white(engine)) / 0.07326));
        text += QByteArray::number(static_cast<qlonglong>(i)) + ",1," +
                QByteArray::number(static_cast<float>(count) * 0.07326f, 'g', 7) + ",\r\n";
        if (text.size() > (1 << 20)) {
            if (file.write(text) != text.size())
                return false;
            text.clear();
        }
    }
    return file.write(text) == text.size() && file.flush();
}

QString logFor(std::int64_t samples)
{
    const QString path = QDir::temp().filePath(QStringLiteral("gyro_allan_bench_%1.csv").arg(samples));
    if (!QFileInfo::exists(path) && !writeLog(path, samples))
        return {};
    return path;
}

void Allan(benchmark::State& state)
{
    const std::int64_t samples = state.range(0) * 1'000'000 + (state.range(0) == 1 ? 48'576 : 0);
    const QString path = logFor(samples);
    if (path.isEmpty()) {
        state.SkipWithError("cannot write the log");
        return;
    }
    gyro::analysis::NoiseAnalysisOptions options;
    std::size_t printed = 0;
    for (auto _ : state) {
        const auto outcome = gyro::analysis::AnalyseLog(path, options, {});
        if (!outcome.analysis) {
            state.SkipWithError(outcome.error.toStdString().c_str());
            return;
        }
        printed += (gyro::analysis::AllanTableText(*outcome.analysis) +
                    gyro::analysis::NoiseTermsText(*outcome.analysis))
                       .size();
    }
    benchmark::DoNotOptimize(printed);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    state.counters["samples"] = static_cast<double>(samples);
}
// 1 stands for 2^20 samples; 22 for 22 million (3 h at 2048 a second); 100 for 10^8.
BENCHMARK(Allan)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Allan)->Arg(22)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--write-log") == 0)
        return writeLog(QString::fromLocal8Bit(argv[2]), std::atoll(argv[3])) ? 0 : 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
