// The plot window's work per polling pass, with a full buffer of moving motors: the column
// advance that scrolls and rescales all three motors (goal: at most 50 us), and the painting
// of one plot surface into an offscreen image (goal: at most 2 ms), plus its scale strips.
#include "plots/plot_model.h"
#include "plots/plot_painter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace vrx {
namespace {

uint32_t fakeNow = 0;

// One polling pass of three motors swinging with different periods. The amplitudes are no
// multiples of 100 or 5000, so every advance finds extremes that differ from the limits.
void FeedPass(PlotModel& model, int pass) {
    for (int m = 0; m < PlotModel::kMotors; ++m) {
        const double phase = pass * (0.021 + 0.007 * m);
        model.AddVelocity(static_cast<int>(1237 * std::sin(phase)), m);
        model.AddTargetVelocity(pass % 200 < 100 ? 1237 : -1237, m);
        model.AddAcceleration(static_cast<int>(311 * std::cos(phase)), m);
        model.AddPosition(static_cast<int>(-23456 * std::cos(phase) + 7777 * m), m);
    }
}

std::unique_ptr<PlotModel> FullModel() {
    auto model = std::make_unique<PlotModel>([] { return fakeNow += 10; });
    for (int pass = 0; pass < 2 * PlotModel::kColumns; ++pass) {
        FeedPass(*model, pass);
        model->AdvanceColumn(false);
    }
    return model;
}

void BM_AdvanceColumnFullBufferRescalingAllMotors(benchmark::State& state) {
    auto model = FullModel();
    int pass = 2 * PlotModel::kColumns;
    int64_t rescales = 0;
    for (auto _ : state) {
        FeedPass(*model, pass++); // twelve stores, next to nothing beside the advance
        const PlotModel::Advance advance = model->AdvanceColumn(false);
        for (bool rescaled : advance.rescaled) {
            rescales += rescaled ? 1 : 0;
        }
        benchmark::DoNotOptimize(advance);
    }
    if (rescales != 3 * static_cast<int64_t>(state.iterations())) {
        state.SkipWithError("not every advance rescaled all three motors");
    }
}
BENCHMARK(BM_AdvanceColumnFullBufferRescalingAllMotors);

void BM_PaintPlotSurface(benchmark::State& state) {
    auto model = FullModel();
    QImage surface(478, 434, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        surface.fill(Qt::black);
        QPainter canvas(&surface);
        PaintPlotCurves(canvas, *model, 1);
        canvas.end();
        benchmark::DoNotOptimize(surface.constBits());
    }
}
BENCHMARK(BM_PaintPlotSurface)->Unit(benchmark::kMicrosecond);

void BM_PaintBothScaleStrips(benchmark::State& state) {
    auto model = FullModel();
    QImage strip(90, 434, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        for (ScaleStrip side : {ScaleStrip::Left, ScaleStrip::Right}) {
            strip.fill(Qt::black);
            QPainter canvas(&strip);
            PaintScaleStrip(canvas, *model, 1, side, strip.width());
        }
        benchmark::DoNotOptimize(strip.constBits());
    }
}
BENCHMARK(BM_PaintBothScaleStrips)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace vrx

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen"); // fonts for the strips, no display needed
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
