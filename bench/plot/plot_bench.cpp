// The plot window's work with a long history of moving motors: one pass appended, one paint of
// a tab's plot surface with 2 million passes fitted to the window (goal: at most 10 ms) and with
// the live view of 481 passes over the same history (goal: a live paint at most 2 x the paint
// of a history of only 481 passes), its scale strips, and the memory 2 million passes hold
// (goal: at most 150 MB), and a recording of 1 million rows opened into a history (goal: at most
// 3 s and 100 MB), both printed before the benchmarks run.
#include "plots/pass_history.h"
#include "plots/plot_painter.h"
#include "plots/plot_reduction.h"
#include "plots/plot_view.h"
#include "protocol/recording_file.h"
#include "support/resident_memory.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>

namespace vrx {
namespace {

constexpr size_t kLong = 2'000'000;

// One polling pass of three motors swinging with different periods, 5 ms after the last.
PassRow Pass(size_t pass) {
    PassRow row;
    for (int m = 0; m < 3; ++m) {
        const double phase = double(pass) * (0.00021 + 0.00007 * m);
        auto* v = &row.values[size_t(4 * m)];
        v[0] = int32_t(-23456 * std::cos(phase) + 7777 * m);
        v[1] = int32_t(1237 * std::sin(phase));
        v[2] = int32_t(311 * std::cos(phase));
        v[3] = pass % 2000 < 1000 ? 1237 : -1237;
    }
    return row;
}

std::unique_ptr<PassHistory> History(size_t passes) {
    auto history = std::make_unique<PassHistory>();
    for (size_t i = 0; i < passes; ++i) {
        history->Append(uint32_t(5 * i), Pass(i), {});
    }
    return history;
}

const PassHistory& LongHistory() {
    static const auto history = History(kLong);
    return *history;
}

void Paint(benchmark::State& state, const PassHistory& history, const PlotView& view) {
    QImage surface(478, 434, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        surface.fill(Qt::black);
        QPainter canvas(&surface);
        const PlotView::Range range = view.Shown(history);
        PaintPlotCurves(canvas, history, 1, range, surface.width(),
                        LimitsInView(history, 1, range));
        canvas.end();
        benchmark::DoNotOptimize(surface.constBits());
    }
}

void BM_AppendPass(benchmark::State& state) {
    PassHistory history;
    size_t pass = 0;
    for (auto _ : state) {
        history.Append(uint32_t(5 * pass), Pass(pass), {});
        ++pass;
    }
}
BENCHMARK(BM_AppendPass);

void BM_PaintWholeHistoryOf2MillionPasses(benchmark::State& state) {
    PlotView view;
    view.ShowAll(LongHistory());
    Paint(state, LongHistory(), view);
}
BENCHMARK(BM_PaintWholeHistoryOf2MillionPasses)->Unit(benchmark::kMillisecond);

void BM_PaintLiveViewOf2MillionPasses(benchmark::State& state) {
    Paint(state, LongHistory(), PlotView());
}
BENCHMARK(BM_PaintLiveViewOf2MillionPasses)->Unit(benchmark::kMicrosecond);

void BM_PaintLiveViewOf481Passes(benchmark::State& state) {
    static const auto history = History(481);
    Paint(state, *history, PlotView());
}
BENCHMARK(BM_PaintLiveViewOf481Passes)->Unit(benchmark::kMicrosecond);

void BM_PaintBothScaleStrips(benchmark::State& state) {
    const PlotView view;
    QImage strip(90, 434, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        const ScaleLimits limits = LimitsInView(LongHistory(), 1, view.Shown(LongHistory()));
        for (ScaleStrip side : {ScaleStrip::Left, ScaleStrip::Right}) {
            strip.fill(Qt::black);
            QPainter canvas(&strip);
            PaintScaleStrip(canvas, limits, side, strip.width(), nullptr, {}, 1);
        }
        benchmark::DoNotOptimize(strip.constBits());
    }
}
BENCHMARK(BM_PaintBothScaleStrips)->Unit(benchmark::kMicrosecond);

// A recording of `rows` passes with the steps/s columns, as the recorder writes it, opened into
// a history as the plot window opens it: the seconds it took and the megabytes it holds.
void OpenRecording(size_t rows) {
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("run.csv")).toStdString();
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        const MotionUnits units;
        std::fputs((PassCsvHeader(true) + "\n").c_str(), file);
        for (size_t i = 0; i < rows; ++i) {
            std::fputs((PassCsvLine(int64_t(5 * i), Pass(i), &units) + "\n").c_str(), file);
        }
        std::fclose(file);
    }
    const long before = bench::ResidentKb();
    QElapsedTimer clock;
    clock.start();
    auto history = std::make_unique<PassHistory>();
    LoadRecording(path,
                  [&](int64_t ms, const PassRow& row) { history->Append(uint32_t(ms), row, {}); });
    std::printf("a recording of %zu rows opened in %.2f s, holding %.1f MB (goals: at most 3 s "
                "and 100 MB)\n",
                history->Size(), clock.elapsed() / 1000.0, (bench::ResidentKb() - before) / 1024.0);
}

} // namespace
} // namespace vrx

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen"); // fonts for the strips, no display needed
    }
    QGuiApplication app(argc, argv);
    const long before = vrx::bench::ResidentKb();
    const size_t passes = vrx::LongHistory().Size();
    const long held = vrx::bench::ResidentKb() - before;
    std::printf("%zu passes held in %.1f MB (goal: at most 150 MB)\n", passes, held / 1024.0);
    vrx::OpenRecording(1'000'000);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
