#include "plots/plot_csv.h"

namespace vrx {

std::string PlotCsv(const PlotModel& model, int motor) {
    std::string text = "column,time_ms,position,velocity,target_velocity,acceleration\r\n";
    for (int x = 0; x < model.SampleCount(); ++x) {
        text += std::to_string(x);
        text += ',';
        text += std::to_string(TicksSince(model.ColumnTick(x), model.ColumnTick(0)));
        for (PlotSeries series : {PlotSeries::Position, PlotSeries::Velocity,
                                  PlotSeries::TargetVelocity, PlotSeries::Acceleration}) {
            text += ',';
            text += std::to_string(model.Sample(series, motor, x).value);
        }
        text += "\r\n";
    }
    return text;
}

} // namespace vrx
