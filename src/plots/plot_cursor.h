#pragma once
// The plot window's read-outs: the pass under the pointer with its time, and what lies between
// the two cursors. Values in steps/s convert each pass by the clock and dividers of its moment.

#include "plots/pass_history.h"

#include <string>

namespace vrx {

// "12.345 s: position 933, velocity 1000 (1,907 steps/s), target velocity 1000 (1,907 steps/s),
// acceleration 0 (0 steps/s²)"; without `units` the raw values alone.
std::string CursorText(const HistoryPass& pass, int motor, bool units);
// "A→B: 2.500 s, 2,500 steps, 1,000 steps/s": the time between the cursors, the change of the
// motor's position and their quotient, signed; with `units` then the velocity and acceleration
// at A and at B.
std::string MeasureText(const HistoryPass& a, const HistoryPass& b, int motor, bool units);
// The time of a pass as the read-outs give it: "12.345 s".
std::string SecondsText(double ms);
// The mean pass time as the time label shows it: whole milliseconds from 10 on, one decimal
// below (never "0"), "---" without two passes.
std::string MeanPassText(const PassHistory& history);

} // namespace vrx
