#include "protocol/pass_trigger.h"

#include "chip/quantity_format.h"
#include "chip/register_map.h"
#include "protocol/command_errors.h"

#include <cmath>
#include <cstdlib>

namespace vrx {

namespace {

constexpr int kMotors = 3;

// The motor's |V_ACTUAL| in the trigger's unit.
double Speed(const Trigger& t, const TriggerPass& pass) {
    const double raw = std::abs(double(pass.row.values[size_t(4 * t.motor + 1)]));
    return t.inSteps ? raw * pass.units.Of(t.motor + 1).StepsPerVelocityUnit() : raw;
}

bool Holds(const Trigger& t, const TriggerPass& pass) {
    switch (t.kind) {
    case TriggerKind::Go:
        return false;
    case TriggerKind::Arrived:
        return (pass.row.status & StatusTargetReached(t.motor)) != 0;
    case TriggerKind::Switch:
        return (pass.row.status & StatusReferenceSwitch(t.motor)) != 0;
    case TriggerKind::Above:
        return Speed(t, pass) > t.level;
    case TriggerKind::Below:
        return Speed(t, pass) < t.level;
    }
    return false;
}

} // namespace

Trigger ParseTrigger(const std::string& text, const std::string& option) {
    const auto refuse = [&](const std::string& why) -> Trigger {
        throw UsageError(option + ": \"" + text + "\" " + why +
                         " (arrived:N, switch:N, above:N:LEVEL, below:N:LEVEL; LEVEL in raw "
                         "units, or steps/s as 1907steps)");
    };
    std::vector<std::string> parts;
    for (size_t start = 0, colon = 0; colon != std::string::npos; start = colon + 1) {
        colon = text.find(':', start);
        parts.push_back(text.substr(start, colon - start));
    }
    Trigger t;
    const std::string& kind = parts[0];
    const bool level = kind == "above" || kind == "below";
    if (kind == "arrived") {
        t.kind = TriggerKind::Arrived;
    } else if (kind == "switch") {
        t.kind = TriggerKind::Switch;
    } else if (level) {
        t.kind = kind == "above" ? TriggerKind::Above : TriggerKind::Below;
    } else {
        return refuse("is not a trigger");
    }
    if (parts.size() != (level ? 3u : 2u)) {
        return refuse(level ? "needs a motor and a level" : "needs a motor");
    }
    if (parts[1].size() != 1 || parts[1][0] < '1' || parts[1][0] > '0' + kMotors) {
        return refuse("names no motor 1..3");
    }
    t.motor = parts[1][0] - '1';
    if (level) {
        std::string number = parts[2];
        if (number.ends_with("steps")) {
            t.inSteps = true;
            number.resize(number.size() - 5);
        }
        char* end = nullptr;
        t.level = std::strtod(number.c_str(), &end);
        if (number.empty() || *end != '\0' || !std::isfinite(t.level) || t.level < 0) {
            return refuse("has no level of 0 or more");
        }
    }
    return t;
}

std::string TriggerText(const Trigger& t) {
    const std::string n = std::to_string(t.motor + 1);
    switch (t.kind) {
    case TriggerKind::Go:
        return "Go! of motor " + n;
    case TriggerKind::Arrived:
        return std::string(kStatusBitLabels[size_t(2 * t.motor)]);
    case TriggerKind::Switch:
        return std::string(kStatusBitLabels[size_t(2 * t.motor + 1)]);
    case TriggerKind::Above:
    case TriggerKind::Below:
        return "|V_ACTUAL" + n + "| " + (t.kind == TriggerKind::Above ? "above " : "below ") +
               (t.inSteps ? FormatInUnit(UnitKind::Velocity, t.level) : FormatQuantity(t.level));
    }
    return {};
}

bool TriggerFires(const Trigger& t, const TriggerPass& before, const TriggerPass& now,
                  bool goSent) {
    if (t.kind == TriggerKind::Go) {
        return goSent;
    }
    return Holds(t, now) && !Holds(t, before);
}

PassCapture::PassCapture(const Trigger& trigger, int preMs, int postMs)
    : trigger_(trigger), preMs_(preMs), postMs_(postMs) {}

std::vector<CapturedPass> PassCapture::Take(int64_t timeMs, const PassRow& row,
                                            const MotionUnits& units) {
    std::vector<CapturedPass> out;
    if (done_) {
        return out;
    }
    if (triggerMs_) {
        out.push_back({timeMs - *triggerMs_, row, units});
        done_ = timeMs - *triggerMs_ >= postMs_;
        return out;
    }
    const bool fired =
        !before_.empty() &&
        TriggerFires(trigger_, {before_.back().row, before_.back().units}, {row, units});
    if (!fired) {
        before_.push_back({timeMs, row, units});
        while (before_.front().timeMs < timeMs - preMs_) {
            before_.pop_front();
        }
        return out;
    }
    triggerMs_ = timeMs;
    for (const Kept& k : before_) {
        if (k.timeMs >= timeMs - preMs_) {
            out.push_back({k.timeMs - timeMs, k.row, k.units});
        }
    }
    before_.clear();
    out.push_back({0, row, units});
    done_ = postMs_ <= 0;
    return out;
}

} // namespace vrx
