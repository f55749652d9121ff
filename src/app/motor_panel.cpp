// The motor panels of the main window: ramp-mode dependent inputs, and the Go and Stop
// sequences that program one motor, or all three, through the board link.
#include "app/form_main.h"

#include "app/form_warning.h"
#include "chip/ramp_calc.h"
#include "chip/register_map.h"
#include "controls/spin_edit.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <cstdlib>

namespace vrx {

namespace {

uint8_t Byte2(int value) {
    return static_cast<uint8_t>((value >> 16) & 0xFF);
}
uint8_t Byte1(int value) {
    return static_cast<uint8_t>((value >> 8) & 0xFF);
}
uint8_t Byte0(int value) {
    return static_cast<uint8_t>(value & 0xFF);
}

} // namespace

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
    const auto enable = [](QWidget* input, QLabel* label, bool on) {
        input->setEnabled(on);
        label->setEnabled(on);
    };
    enable(p.EditAMax, p.LblAMax, ramp || i == RampModeVelocity);
    enable(p.EditVMax, p.LblVMax, ramp);
    enable(p.EditVMin, p.LblVMin, ramp);
    enable(p.EditXTarget, p.LblXTarget, ramp);
    enable(p.EditVTarget, p.LblVTarget, i == RampModeVelocity);
    enable(p.EditVActual, p.LblVActual, i == RampModeHold);
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

// Each sequence stops at the first telegram the board does not answer: the registers after
// it would be written in vain, and the status lines already say that the board is silent.
bool TFormMain::Go(int motor) {
    const auto suspension = link_.SuspendPolling();
    const MotorPanel& p = motors_[size_t(motor)];
    const uint8_t m = MotorOffset(motor);
    const int aMax = p.EditAMax->value();
    const int vMax = p.EditVMax->value();
    const int vMin = p.EditVMin->value();
    const int vTarget = p.EditVTarget->value();
    const int xTarget = p.EditXTarget->value();
    const int vActual = p.EditVActual->value();
    const int i = p.CbRampMode->currentIndex();
    const bool ramp = i == RampModeRamp || i == RampModeSoft;
    const auto send = [this](uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
        return link_.Transfer({b0, b1, b2, b3}).has_value();
    };

    bool proceed = true;
    if (ramp) {
        const std::optional<Answer> dividers = link_.Transfer({uint8_t(m + 0x19), 0, 0, 0});
        if (!dividers) {
            return false; // also when the port was closed meanwhile: nothing to ask about
        }
        const int pulseDiv = dividers->a2 >> 4;
        const int rampDiv = dividers->a2 & 0x0F;
        const int minimum = MinAMax(rampDiv, pulseDiv);
        if (aMax < minimum) {
            proceed = warning_ == nullptr || warning_->ConfirmMinimum(minimum);
        }
        if (proceed) {
            const PMulPDiv pm = CalcPMulPDiv(aMax, rampDiv, pulseDiv);
            if (!send(m + 0x12, 0, uint8_t(pm.pMul), uint8_t(pm.pDiv))) {
                return false;
            }
        }
    }

    // The ramp mode is written in every case; bits 23..8 go back as they were read.
    const std::optional<Answer> mode = link_.Transfer({uint8_t(m + 0x15), 0, 0, 0});
    if (!mode || !send(m + 0x14, mode->a1, mode->a2, uint8_t(i))) {
        return false;
    }

    if (ramp && proceed) {
        return send(m + 0x0C, Byte2(aMax), Byte1(aMax), Byte0(aMax)) &&
               send(m + 0x06, 0, Byte1(vMax), Byte0(vMax)) &&
               send(m + 0x04, 0, Byte1(vMin), Byte0(vMin)) &&
               send(m + 0x00, Byte2(xTarget), Byte1(xTarget), Byte0(xTarget));
    }
    if (i == RampModeVelocity) {
        const int magnitude = std::abs(vTarget);
        return send(m + 0x0C, Byte2(aMax), Byte1(aMax), Byte0(aMax)) &&
               send(m + 0x06, 0, Byte1(magnitude), Byte0(magnitude)) &&
               send(m + 0x08, 0, Byte1(vTarget), Byte0(vTarget));
    }
    if (i == RampModeHold) {
        return send(m + 0x0A, 0, Byte1(vActual), Byte0(vActual));
    }
    return true;
}

bool TFormMain::Stop(int motor) {
    const auto suspension = link_.SuspendPolling();
    const uint8_t m = MotorOffset(motor);
    const std::optional<Answer> mode = link_.Transfer({uint8_t(m + 0x15), 0, 0, 0});
    return mode && link_.Transfer({uint8_t(m + 0x14), mode->a1, mode->a2, RampModeVelocity}) &&
           link_.Transfer({uint8_t(m + 0x08), 0, 0, 0}) &&
           link_.Transfer({uint8_t(m + 0x0A), 0, 0, 0});
}

} // namespace vrx
