#include "plots/plot_painter.h"

#include "chip/quantity_format.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPointF>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <vector>

namespace vrx {

namespace {

constexpr int kLabels = 20;
constexpr int kLabelStep = kPlotFullScale / kLabels; // 21 rows
// Passes further apart than this many mean pass times are a pause in polling, not a line.
constexpr double kGapPasses = 5;
// A row far outside the surface still fits an int (values never come near).
constexpr double kRowBound = 1.0e6;

struct Curve {
    PlotSeries series;
    int offset; // rows; positive is lower, so curves on the same row stay apart
};
constexpr std::array<Curve, 4> kCurves = {
    Curve{PlotSeries::Acceleration, 1}, Curve{PlotSeries::TargetVelocity, -3},
    Curve{PlotSeries::Position, -2}, Curve{PlotSeries::Velocity, 0}};

void PaintCurve(QPainter& canvas, const ReducedCurve& reduced, const Curve& curve,
                const ScaleLimits& limits, double gapMs, bool pale) {
    const auto row = [&](int64_t value) {
        return RowOf(curve.series, value, limits) + curve.offset;
    };
    std::vector<QPointF> line; // one run of joined passes
    std::optional<uint32_t> lastMs;
    const QColor colour = PlotColor(curve.series);
    canvas.setPen(QPen(pale ? colour.darker(250) : colour, 1));
    const auto flush = [&] {
        const bool one = std::all_of(line.begin(), line.end(),
                                     [&](const QPointF& p) { return p == line.front(); });
        if (!line.empty() && one) {
            canvas.drawPoint(line.front()); // passes in one pixel, or one pass alone
        } else if (!line.empty()) {
            canvas.drawPolyline(line.data(), int(line.size()));
        }
        line.clear();
    };
    const auto join = [&](double x, int64_t first, uint32_t firstMs) {
        if (lastMs && double(firstMs - *lastMs) > gapMs) {
            flush();
        }
        line.emplace_back(x, row(first));
    };
    if (reduced.before) {
        join(reduced.before->x, reduced.before->value, reduced.before->timeMs);
        lastMs = reduced.before->timeMs;
    }
    for (size_t x = 0; x < reduced.columns.size(); ++x) {
        const PlotColumn& c = reduced.columns[x];
        if (!c.any) {
            continue;
        }
        join(double(x), c.first, c.firstMs);
        if (c.min != c.max) {
            // Every value of the column between its extremes: no peak is lost.
            line.emplace_back(double(x), row(c.min));
            line.emplace_back(double(x), row(c.max));
        }
        line.emplace_back(double(x), row(c.last));
        lastMs = c.lastMs;
    }
    if (reduced.after) {
        join(reduced.after->x, reduced.after->value, reduced.after->timeMs);
    }
    flush();
}

// The text of a scale value: raw, or converted to physical units.
using LabelText = std::function<QString(int64_t value)>;

// Labels of one scale from `low` up to below `high`, their tops 21 rows apart from the base row.
void PaintLabels(QPainter& canvas, int x, int64_t low, int64_t high, const QColor& color,
                 const LabelText& text) {
    const QFontMetrics metrics = canvas.fontMetrics();
    const int64_t step = (high - low) / kLabels;
    canvas.setPen(color);
    int top = kPlotBaseRow - metrics.height();
    int64_t value = low;
    for (int k = 0; k < kLabels && value < high; ++k) {
        canvas.drawText(x, top + metrics.ascent(), text(value));
        value += step;
        top -= kLabelStep;
    }
}

// The tick step: 1, 2 or 5 times a power of ten seconds, the first at least `least` seconds.
double TickStep(double least) {
    double power = std::pow(10.0, std::floor(std::log10(std::max(least, 1e-3))));
    for (;;) {
        for (const double m : {1.0, 2.0, 5.0}) {
            if (m * power >= least) {
                return m * power;
            }
        }
        power *= 10;
    }
}

} // namespace

QColor PlotColor(PlotSeries series) {
    switch (series) {
    case PlotSeries::Velocity:
        return QColor(255, 0, 0);
    case PlotSeries::Position:
        return QColor(0, 128, 0);
    case PlotSeries::Acceleration:
        return QColor(0, 0, 255);
    case PlotSeries::TargetVelocity:
        return QColor(255, 255, 0);
    }
    return QColor();
}

int RowOf(PlotSeries series, int64_t value, const ScaleLimits& limits) {
    double lifted = double(value);
    double top = 0;
    switch (series) {
    case PlotSeries::Position:
        lifted -= double(limits.PosMin); // PosMin <= 0: adds its magnitude
        top = double(limits.PosMax - limits.PosMin);
        break;
    case PlotSeries::Velocity:
        top = double(limits.VelMax);
        break;
    case PlotSeries::Acceleration:
        top = double(limits.AccMax);
        break;
    case PlotSeries::TargetVelocity:
        top = double(limits.TVelMax);
        break;
    }
    const double scaled = std::clamp(lifted * kPlotFullScale / top, -kRowBound, kRowBound);
    return kPlotBaseRow - int(scaled); // the conversion cuts towards zero
}

void PaintPlotCurves(QPainter& canvas, const PassHistory& history, int motor,
                     const PlotView::Range& range, int width, const ScaleLimits& limits, bool pale,
                     double shiftMs) {
    const double gapMs = kGapPasses * PlotView::MeanPassMs(history);
    const PlotView::Range shifted{range.start - shiftMs, range.end - shiftMs};
    for (const Curve& curve : kCurves) {
        PaintCurve(canvas, ReduceCurve(history, curve.series, motor, shifted, width), curve, limits,
                   gapMs, pale);
    }
}

void PaintScaleStrip(QPainter& canvas, const ScaleLimits& l, ScaleStrip strip, int width,
                     const UnitsState* units, const MotionUnits& unitsNow, int motor) {
    const bool converted = units != nullptr && units->Shown();
    const int right = width -
                      canvas.fontMetrics().horizontalAdvance(converted ? QStringLiteral("888.8k")
                                                                       : QStringLiteral("8888")) -
                      1;
    const LabelText raw = [](int64_t value) { return QString::number(value); };
    const auto physical = [&](UnitKind kind) -> LabelText {
        if (!converted) {
            return raw;
        }
        const PhysicalUnits at = unitsNow.Of(motor + 1);
        return [at, kind](int64_t value) {
            return QString::fromStdString(
                FormatQuantityPrefixed(at.InUnit(kind, int32_t(value)), 3));
        };
    };
    if (strip == ScaleStrip::Left) {
        PaintLabels(canvas, 0, l.PosMin, l.PosMax, PlotColor(PlotSeries::Position), raw);
        PaintLabels(canvas, right, 0, l.TVelMax, PlotColor(PlotSeries::TargetVelocity),
                    physical(UnitKind::Velocity));
    } else {
        PaintLabels(canvas, 0, 0, l.VelMax, PlotColor(PlotSeries::Velocity),
                    physical(UnitKind::Velocity));
        PaintLabels(canvas, right, 0, l.AccMax, PlotColor(PlotSeries::Acceleration),
                    physical(UnitKind::Acceleration));
    }
}

void PaintTimeStrip(QPainter& canvas, const PlotView::Range& range, int width, int height) {
    if (range.Span() <= 0 || width <= 0) {
        return;
    }
    const QFontMetrics metrics = canvas.fontMetrics();
    const double seconds = range.Span() / 1000;
    // A number every 80 pixels or more, a tick every fifth of that.
    const double labelStep = TickStep(seconds * 80 / width);
    const double tickStep = labelStep / 5;
    const int decimals = std::max(0, -int(std::floor(std::log10(labelStep) + 1e-9)));
    canvas.setPen(QColor(200, 200, 200));
    const double firstTick = std::ceil(range.start / 1000 / tickStep) * tickStep;
    for (double t = firstTick; t * 1000 <= range.end; t += tickStep) {
        const int x = int(std::lround(ColumnOf(range, width, t * 1000)));
        const bool labelled = std::fabs(std::remainder(t, labelStep)) < tickStep / 2;
        canvas.drawLine(x, 0, x, labelled ? 4 : 2);
        if (labelled) {
            const QString text = QString::number(t, 'f', decimals) + QStringLiteral(" s");
            const int w = metrics.horizontalAdvance(text);
            canvas.drawText(std::clamp(x - w / 2, 0, width - w), height - metrics.descent(), text);
        }
    }
}

} // namespace vrx
