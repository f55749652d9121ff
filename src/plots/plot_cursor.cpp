#include "plots/plot_cursor.h"

namespace vrx {

std::string CursorText(const PlotModel& model, int motor, int column) {
    if (column < 0 || column >= model.SampleCount() || motor < 0 || motor >= PlotModel::kMotors) {
        return {};
    }
    const auto value = [&](PlotSeries series) {
        return std::to_string(model.Sample(series, motor, column).value);
    };
    return "Column " + std::to_string(column) + ": position " + value(PlotSeries::Position) +
           ", velocity " + value(PlotSeries::Velocity) + ", target velocity " +
           value(PlotSeries::TargetVelocity) + ", acceleration " + value(PlotSeries::Acceleration);
}

} // namespace vrx
