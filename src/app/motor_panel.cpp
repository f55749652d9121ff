// The motor panels of the main window: ramp-mode dependent inputs, and Go and Stop for one
// motor or all three, whose telegram sequences run over the board link. A sequence ends at the
// first telegram the board leaves unanswered, and All Go / All Stop end with it.
#include "app/form_main.h"

#include "app/form_warning.h"
#include "chip/register_map.h"
#include "controls/spin_edit.h"
#include "controls/units_label.h"
#include "protocol/motor_sequences.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace vrx {

void TFormMain::CbRampMode1Change() {
    RampModeChange(0);
}
void TFormMain::CbRampMode2Change() {
    RampModeChange(1);
}
void TFormMain::CbRampMode3Change() {
    RampModeChange(2);
}

void TFormMain::RampModeChange(int motor) {
    const MotorPanel& p = motors_[size_t(motor)];
    const int i = p.CbRampMode->currentIndex();
    const bool ramp = i == RampModeRamp || i == RampModeSoft;
    const auto enable = [](QWidget* input, QLabel* label, QLabel* units, bool on) {
        for (QWidget* w : {input, static_cast<QWidget*>(label), static_cast<QWidget*>(units)}) {
            if (w != nullptr) {
                w->setEnabled(on);
            }
        }
    };
    enable(p.EditAMax, p.LblAMax, p.UnitsAMax, ramp || i == RampModeVelocity);
    enable(p.EditVMax, p.LblVMax, p.UnitsVMax, ramp);
    enable(p.EditVMin, p.LblVMin, p.UnitsVMin, ramp);
    enable(p.EditXTarget, p.LblXTarget, nullptr, ramp);
    enable(p.EditVTarget, p.LblVTarget, p.UnitsVTarget, i == RampModeVelocity);
    enable(p.EditVActual, p.LblVActual, p.UnitsVActual, i == RampModeHold);
}

int TFormMain::MotorOfSender(const std::array<QPushButton*, 3>& buttons) const {
    for (size_t motor = 0; motor < buttons.size(); ++motor) {
        if (sender() == buttons[motor]) {
            return static_cast<int>(motor);
        }
    }
    return 0;
}

void TFormMain::BtnGo1Click() {
    Go(MotorOfSender({motors_[0].BtnGo, motors_[1].BtnGo, motors_[2].BtnGo}));
}

void TFormMain::BtnStop1Click() {
    Stop(MotorOfSender({motors_[0].BtnStop, motors_[1].BtnStop, motors_[2].BtnStop}));
}

void TFormMain::BtnGoAllClick() {
    const auto suspension = link_.SuspendPolling();
    for (int motor = 0; motor < kMotorCount && Go(motor); ++motor) {
    }
}

void TFormMain::BtnStopAllClick() {
    const auto suspension = link_.SuspendPolling();
    for (int motor = 0; motor < kMotorCount && Stop(motor); ++motor) {
    }
}

bool TFormMain::Go(int motor) {
    const auto suspension = link_.SuspendPolling();
    const MotorPanel& p = motors_[size_t(motor)];
    MotionRequest request;
    request.rampMode = p.CbRampMode->currentIndex();
    request.aMax = p.EditAMax->value();
    request.vMax = p.EditVMax->value();
    request.vMin = p.EditVMin->value();
    request.vTarget = p.EditVTarget->value();
    request.xTarget = p.EditXTarget->value();
    request.vActual = p.EditVActual->value();
    const auto confirm = [this](int minimum) {
        return warning_ == nullptr || warning_->ConfirmMinimum(minimum) ? MinimumChoice::Continue
                                                                        : MinimumChoice::SkipRamp;
    };
    const bool answered = GoSequence([this](const Telegram& t) { return link_.Transfer(t); }, motor,
                                     request, confirm) != SequenceResult::Unanswered;
    if (plotFeed_ != nullptr) {
        plotFeed_->MotorCommanded(motor); // a trigger on Go! fires at the next pass
    }
    return answered;
}

bool TFormMain::Stop(int motor) {
    const auto suspension = link_.SuspendPolling();
    const bool answered =
        StopSequence([this](const Telegram& t) { return link_.Transfer(t); }, motor);
    if (plotFeed_ != nullptr) {
        plotFeed_->MotorCommanded(motor);
    }
    return answered;
}

} // namespace vrx
