#include "plots/plot_csv.h"

#include "plots/plot_reduction.h"

namespace vrx {

std::string PlotCsv(const PassHistory& history, int motor, const PlotView::Range& range,
                    int64_t originMs) {
    std::string text = "time_ms,position,velocity,target_velocity,acceleration\r\n";
    const auto [first, end] = PassesIn(history, range);
    for (uint64_t seq = first; seq < end; ++seq) {
        text += std::to_string(int64_t(history.TimeOf(seq)) - originMs);
        for (PlotSeries series : {PlotSeries::Position, PlotSeries::Velocity,
                                  PlotSeries::TargetVelocity, PlotSeries::Acceleration}) {
            text += ',';
            text +=
                std::to_string(CurveValue(series, history.Value(seq, ValueIndex(series, motor))));
        }
        text += "\r\n";
    }
    return text;
}

} // namespace vrx
