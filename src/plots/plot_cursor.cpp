#include "plots/plot_cursor.h"

namespace vrx {

std::string CursorText(const PlotModel& model, int motor, int column, const UnitsState* units) {
    if (column < 0 || column >= model.SampleCount() || motor < 0 || motor >= PlotModel::kMotors) {
        return {};
    }
    const auto value = [&](PlotSeries series) {
        const int32_t raw = model.Sample(series, motor, column).value;
        std::string text = std::to_string(raw);
        if (units != nullptr && units->Shown() && series != PlotSeries::Position) {
            const UnitKind kind =
                series == PlotSeries::Acceleration ? UnitKind::Acceleration : UnitKind::Velocity;
            text += " (" + units->Text(kind, motor, raw).toStdString() + ")";
        }
        return text;
    };
    return "Column " + std::to_string(column) + ": position " + value(PlotSeries::Position) +
           ", velocity " + value(PlotSeries::Velocity) + ", target velocity " +
           value(PlotSeries::TargetVelocity) + ", acceleration " + value(PlotSeries::Acceleration);
}

} // namespace vrx
