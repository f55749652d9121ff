#include "plots/plot_cursor.h"

#include "chip/quantity_format.h"
#include "plots/plot_view.h"

#include <algorithm>
#include <cmath>

#include <cstdio>

namespace vrx {

namespace {

std::string Value(const HistoryPass& pass, int motor, int k, UnitKind kind, bool units) {
    const int32_t raw = pass.row.values[size_t(4 * motor + k)];
    std::string text = std::to_string(raw);
    if (units) {
        // Compact from a million on: the line has the room of a read-out, not of a report.
        text += " (" + FormatInUnit(kind, pass.units.Of(motor + 1).InUnit(kind, raw), true) + ")";
    }
    return text;
}

std::string Motion(const HistoryPass& pass, int motor) {
    const PhysicalUnits u = pass.units.Of(motor + 1);
    const auto& v = pass.row.values;
    return FormatInUnit(UnitKind::Velocity, u.InUnit(UnitKind::Velocity, v[size_t(4 * motor + 1)]),
                        true) +
           ", " +
           FormatInUnit(UnitKind::Acceleration,
                        u.InUnit(UnitKind::Acceleration, v[size_t(4 * motor + 2)]), true);
}

} // namespace

std::string SecondsText(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", ms / 1000);
    return text;
}

std::string MeanPassText(const PassHistory& history) {
    if (history.Size() < 2) {
        return "---";
    }
    const double mean = PlotView::MeanPassMs(history);
    char text[32];
    if (mean >= 9.95) {
        std::snprintf(text, sizeof text, "%ld", std::lround(mean));
    } else {
        std::snprintf(text, sizeof text, "%.1f", std::max(mean, 0.1));
    }
    return text;
}

std::string CursorText(const HistoryPass& pass, int motor, bool units) {
    return SecondsText(pass.timeMs) + ": position " +
           std::to_string(pass.row.values[size_t(4 * motor)]) + ", velocity " +
           Value(pass, motor, 1, UnitKind::Velocity, units) + ", target velocity " +
           Value(pass, motor, 3, UnitKind::Velocity, units) + ", acceleration " +
           Value(pass, motor, 2, UnitKind::Acceleration, units);
}

std::string MeasureText(const HistoryPass& a, const HistoryPass& b, int motor, bool units) {
    const double ms = double(b.timeMs) - double(a.timeMs);
    const double steps =
        double(b.row.values[size_t(4 * motor)]) - double(a.row.values[size_t(4 * motor)]);
    std::string text = "A\u2192B: " + SecondsText(ms) + ", " + FormatQuantity(steps) + " steps";
    if (ms != 0) {
        text += ", " + FormatInUnit(UnitKind::Velocity, steps * 1000 / ms);
    }
    if (units) {
        text += "; at A " + Motion(a, motor) + "; at B " + Motion(b, motor);
    }
    return text;
}

} // namespace vrx
