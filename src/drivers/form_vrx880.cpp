#include "drivers/form_vrx880.h"

#include "chip/poll_slots.h"
#include "drivers/voltage_text.h"
#include "link/poll_cycle.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace vrx {

namespace {

// Bits of the mode byte; bits 4..7 carry nothing.
constexpr uint8_t kModeDisable = 0x01; // the enable is active low
constexpr uint8_t kModeShaft = 0x02;
constexpr uint8_t kModeThreePhase = 0x04;
constexpr uint8_t kModeOutput = 0x08;

uint16_t LowHigh(uint8_t low, uint8_t high) {
    return static_cast<uint16_t>(low | high << 8);
}

} // namespace

TFormVRX880::TFormVRX880(PollCycle& poll, QWidget* parent)
    : QWidget(parent, Qt::Window), poll_(poll) {
    setObjectName(QStringLiteral("FormVRX880"));
    setWindowTitle(QStringLiteral("VRX880 Registers"));
    QFont tahoma = font();
    tahoma.setFamilies({QStringLiteral("Tahoma")});
    setFont(tahoma);

    GrpWriteReg880 = CreateWriteGroup();
    GrpReadReg880 = CreateReadGroup();
    GrpSpecial = CreateSpecialGroup();
    auto* form = new QVBoxLayout(this);
    form->addWidget(GrpWriteReg880);
    form->addWidget(GrpReadReg880);
    form->addWidget(GrpSpecial);
    form->addStretch(1);
    move(0, 0); // the window opens at the top-left corner of the screen

    FormCreate();
}

void TFormVRX880::FormCreate() {
    poll_.Slot(kModeSlot).OnAnswer = [this](uint8_t a1, uint8_t a2, uint8_t a3) {
        ShowModeFlags(a1, a2, a3);
    };
    poll_.Slot(kVoltageSlot).OnAnswer = [this](uint8_t a1, uint8_t a2, uint8_t a3) {
        ShowVoltage(a1, a2, a3);
    };
    poll_.Slot(kPotentiometerSlot).OnAnswer = [this](uint8_t a1, uint8_t a2, uint8_t a3) {
        ShowPotentiometer(a1, a2, a3);
    };
    SetQuerySlots(kPageNever);
}

void TFormVRX880::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TFormVRX880::FormShow() {
    SetQuerySlots(kPageAlways);
}

void TFormVRX880::closeEvent(QCloseEvent* event) {
    if (isVisible()) {
        FormClose();
    }
    QWidget::closeEvent(event);
}

void TFormVRX880::FormClose() {
    SetQuerySlots(kPageNever);
}

void TFormVRX880::SetQuerySlots(int32_t pageIndex) {
    for (int slot : {kModeSlot, kVoltageSlot, kPotentiometerSlot}) {
        poll_.Slot(slot).PageIndex = pageIndex;
    }
}

void TFormVRX880::ShowModeFlags(uint8_t /*a1*/, uint8_t /*a2*/, uint8_t a3) {
    // Only the controls change: a mode answer that arrives after the window was closed must not
    // put the mode query back into the polling cycle.
    CheckEnable880->setChecked(!(a3 & kModeDisable));
    CheckShaft880->setChecked(a3 & kModeShaft);
    // A checked radio button cannot be unchecked directly; checking its partner does it.
    RBModeUVW->setChecked(a3 & kModeThreePhase);
    RBModeXY->setChecked(!(a3 & kModeThreePhase));
    CheckGPO->setChecked(a3 & kModeOutput);
}

void TFormVRX880::ShowVoltage(uint8_t /*a1*/, uint8_t a2, uint8_t a3) {
    StaticVoltage->setText(VoltageText(LowHigh(a2, a3)));
}

void TFormVRX880::ShowPotentiometer(uint8_t /*a1*/, uint8_t a2, uint8_t a3) {
    StaticPoti->setText(QString::number(LowHigh(a2, a3)));
}

} // namespace vrx
