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
    for (int motor = 0; motor < kMotorCount; ++motor) {
        Go(motor);
    }
}

void TFormMain::BtnStopAllClick() {
    const auto suspension = link_.SuspendPolling();
    for (int motor = 0; motor < kMotorCount; ++motor) {
        Stop(motor);
    }
}

void TFormMain::Go(int motor) {
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

    bool proceed = true;
    if (ramp) {
        const Answer dividers = link_.TransferTelegram(m + 0x19, 0, 0, 0);
        const int pulseDiv = dividers.a2 >> 4;
        const int rampDiv = dividers.a2 & 0x0F;
        const int minimum = MinAMax(rampDiv, pulseDiv);
        if (!serialPort_.IsOpen()) {
            return; // the port was closed while the sequence waited: nothing to ask about
        }
        if (aMax < minimum) {
            proceed = warning_ == nullptr || warning_->ConfirmMinimum(minimum);
        }
        if (proceed) {
            const PMulPDiv pm = CalcPMulPDiv(aMax, rampDiv, pulseDiv);
            link_.TransferTelegram(m + 0x12, 0, uint8_t(pm.pMul), uint8_t(pm.pDiv));
        }
    }

    // The ramp mode is written in every case; bits 23..8 go back as they were read.
    const Answer mode = link_.TransferTelegram(m + 0x15, 0, 0, 0);
    link_.TransferTelegram(m + 0x14, mode.a1, mode.a2, uint8_t(i));

    if (ramp && proceed) {
        link_.TransferTelegram(m + 0x0C, Byte2(aMax), Byte1(aMax), Byte0(aMax));
        link_.TransferTelegram(m + 0x06, 0, Byte1(vMax), Byte0(vMax));
        link_.TransferTelegram(m + 0x04, 0, Byte1(vMin), Byte0(vMin));
        link_.TransferTelegram(m + 0x00, Byte2(xTarget), Byte1(xTarget), Byte0(xTarget));
    } else if (i == RampModeVelocity) {
        const int magnitude = std::abs(vTarget);
        link_.TransferTelegram(m + 0x0C, Byte2(aMax), Byte1(aMax), Byte0(aMax));
        link_.TransferTelegram(m + 0x06, 0, Byte1(magnitude), Byte0(magnitude));
        link_.TransferTelegram(m + 0x08, 0, Byte1(vTarget), Byte0(vTarget));
    } else if (i == RampModeHold) {
        link_.TransferTelegram(m + 0x0A, 0, Byte1(vActual), Byte0(vActual));
    }
}

void TFormMain::Stop(int motor) {
    const auto suspension = link_.SuspendPolling();
    const uint8_t m = MotorOffset(motor);
    const Answer mode = link_.TransferTelegram(m + 0x15, 0, 0, 0);
    link_.TransferTelegram(m + 0x14, mode.a1, mode.a2, RampModeVelocity);
    link_.TransferTelegram(m + 0x08, 0, 0, 0);
    link_.TransferTelegram(m + 0x0A, 0, 0, 0);
}

} // namespace vrx
