#include "plots/plot_painter.h"

#include "chip/quantity_format.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPoint>

#include <array>
#include <functional>

namespace vrx {

namespace {

constexpr int kLabels = 20;
constexpr int kLabelStep = PlotModel::FullScale / kLabels; // 21 rows

struct Curve {
    PlotSeries series;
    int offset; // rows; positive is lower, so curves on the same row stay apart
};
constexpr std::array<Curve, 4> kCurves = {
    Curve{PlotSeries::Acceleration, 1}, Curve{PlotSeries::TargetVelocity, -3},
    Curve{PlotSeries::Position, -2}, Curve{PlotSeries::Velocity, 0}};

void PaintCurve(QPainter& canvas, const PlotModel& model, int motor, const Curve& curve) {
    std::array<QPoint, PlotModel::kColumns> points; // on the stack: no allocation per paint
    const int count = model.SampleCount();
    for (int x = 0; x < count; ++x) {
        points[static_cast<size_t>(x)] =
            QPoint(x, model.Sample(curve.series, motor, x).row + curve.offset);
    }
    if (count >= 2) {
        canvas.setPen(QPen(PlotColor(curve.series), 1));
        canvas.drawPolyline(points.data(), count);
    }
}

// The text of a scale value: raw, or converted to physical units.
using LabelText = std::function<QString(int64_t value)>;

// Labels of one scale from `low` up to below `high`, their tops 21 rows apart from the base row.
void PaintLabels(QPainter& canvas, int x, int64_t low, int64_t high, const QColor& color,
                 const LabelText& text) {
    const QFontMetrics metrics = canvas.fontMetrics();
    const int64_t step = (high - low) / kLabels;
    canvas.setPen(color);
    int top = PlotModel::BaseRow - metrics.height();
    int64_t value = low;
    for (int k = 0; k < kLabels && value < high; ++k) {
        canvas.drawText(x, top + metrics.ascent(), text(value));
        value += step;
        top -= kLabelStep;
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

void PaintPlotCurves(QPainter& canvas, const PlotModel& model, int motor) {
    for (const Curve& curve : kCurves) {
        PaintCurve(canvas, model, motor, curve);
    }
}

void PaintScaleStrip(QPainter& canvas, const PlotModel& model, int motor, ScaleStrip strip,
                     int width, const UnitsState* units) {
    const ScaleLimits& l = model.Limits(motor);
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
        return [units, kind, motor](int64_t value) {
            return QString::fromStdString(
                FormatQuantityPrefixed(units->Physical(kind, motor, int32_t(value)), 3));
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

} // namespace vrx
