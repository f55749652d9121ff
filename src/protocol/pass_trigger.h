#pragma once
// A trigger: the moment a condition on the polling passes becomes true, tested on every pass as
// an edge between two consecutive passes, never a level, so a motor that already stands at its
// target does not fire it. And the capture of the passes around the first trigger. The plot
// window, `vrx630ctl watch --trigger` and Python's board.capture share both.

#include "chip/motion_units.h"
#include "protocol/pass_row.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace vrx {

enum class TriggerKind {
    Go,      // a Go, Stop or All Go of the motor was sent (the program's windows)
    Arrived, // X_ACTUAL = X_TARGET of the motor: its status bit rising
    Switch,  // the motor's reference switch bit rising
    Above,   // |V_ACTUAL| of the motor rising above the level
    Below,   // |V_ACTUAL| of the motor falling below the level
};

struct Trigger {
    TriggerKind kind = TriggerKind::Arrived;
    int motor = 0;    // 0..2
    double level = 0; // Above, Below: raw velocity units, or steps/s with `inSteps`
    bool inSteps = false;
};

// A pass as the trigger sees it: its values and the units of its moment.
struct TriggerPass {
    const PassRow& row;
    const MotionUnits& units;
};

// "arrived:1", "switch:2", "above:1:1000", "below:3:1000" (raw), "above:1:1907steps" (steps/s),
// motors 1..3; a UsageError naming `option` for anything else.
Trigger ParseTrigger(const std::string& text, const std::string& option);
// What fired, as the window says it: "X_ACTUAL1 = X_TARGET1", "REFERENCE_SWITCH_2",
// "|V_ACTUAL1| above 1000", "|V_ACTUAL1| above 1,907 steps/s", "Go! of motor 1".
std::string TriggerText(const Trigger& trigger);
// Whether the condition holds at `now` and did not at `before`; Go fires on `goSent`, a Go, Stop
// or All Go of the motor sent since `before`.
bool TriggerFires(const Trigger& trigger, const TriggerPass& before, const TriggerPass& now,
                  bool goSent = false);

// A pass of a capture, its time counted from the trigger (negative before it).
struct CapturedPass {
    int64_t timeMs = 0;
    PassRow row;
    MotionUnits units;
};

// The passes of the last `preMs` before the first trigger, the trigger's own, and those up to
// `postMs` after it. Passes come with the time of their reader's clock.
class PassCapture {
public:
    PassCapture(const Trigger& trigger, int preMs, int postMs);

    // The passes that go out now, in order: none before the trigger; at the trigger those kept
    // from before it and its own; after it each pass until the capture is done.
    std::vector<CapturedPass> Take(int64_t timeMs, const PassRow& row, const MotionUnits& units);
    bool Triggered() const { return triggerMs_.has_value(); }
    // The trigger came and the passes after it reach `postMs`.
    bool Done() const { return done_; }

private:
    struct Kept {
        int64_t timeMs;
        PassRow row;
        MotionUnits units;
    };

    Trigger trigger_;
    int preMs_;
    int postMs_;
    std::deque<Kept> before_; // the last preMs before the newest pass, the newest included
    std::optional<int64_t> triggerMs_;
    bool done_ = false;
};

} // namespace vrx
