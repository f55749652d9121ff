#include "drivers/form_vrx52x.h"

#include "chip/poll_slots.h"
#include "controls/led_little.h"
#include "drivers/fixed_window.h"
#include "controls/named.h"
#include "link/board_link.h"
#include "link/poll_cycle.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace vrx {

TFormVRX52x::TFormVRX52x(BoardLink& link, PollCycle& poll, QWidget* parent)
    : QWidget(parent, Qt::Window), link_(link), poll_(poll) {
    setObjectName(QStringLiteral("FormVRX52x"));
    setWindowTitle(QStringLiteral("VRX526 / VRX529 LoadMeter & Error Flags"));

    CreateChipGroup(vrx526_, QStringLiteral("526"), "LblSDT", "LblOff");
    CreateChipGroup(vrx529_, QStringLiteral("529"), "Label1", "Label2");
    BtnClose = Named(new QPushButton(QStringLiteral("&Close"), this), "BtnClose");
    BtnClose->setAutoDefault(false);

    auto* groups = new QHBoxLayout;
    groups->addWidget(vrx526_.Grp);
    groups->addWidget(vrx529_.Grp);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnClose);
    buttons->addStretch(1);
    auto* form = new QVBoxLayout(this);
    form->addLayout(groups);
    form->addLayout(buttons);

    connect(BtnClose, &QPushButton::clicked, this, &TFormVRX52x::BtnCloseClick);
    connect(vrx526_.StallSlider, &QSlider::valueChanged, this, &TFormVRX52x::StallSlider526Change);
    connect(vrx529_.StallSlider, &QSlider::valueChanged, this, &TFormVRX52x::StallSlider529Change);

    FormCreate();
}

void TFormVRX52x::FormCreate() {
    drivers::MakeFixedSizeWindow(*this);
    for (QProgressBar* bar : {vrx526_.StallBar, vrx529_.StallBar}) {
        QPalette palette = bar->palette();
        palette.setColor(QPalette::Highlight, QColor(255, 0, 0));
        bar->setPalette(palette);
    }
    poll_.Slot(kErrorFlagSlot).OnAnswer = [this](uint8_t a1, uint8_t a2, uint8_t a3) {
        ShowErrorFlags(a1, a2, a3);
    };
    poll_.Slot(kLoadValueSlot).OnAnswer = [this](uint8_t a1, uint8_t a2, uint8_t a3) {
        ShowLoadValues(a1, a2, a3);
    };
    poll_.Slot(kErrorFlagSlot).PageIndex = kPageNever;
    poll_.Slot(kLoadValueSlot).PageIndex = kPageNever;
}

void TFormVRX52x::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return; // restored from the task bar, not opened
    }
    if (!placed_) {
        placed_ = true;
        drivers::CentreOverOwner(*this);
    }
    FormShow();
}

void TFormVRX52x::FormShow() {
    // The chips get the thresholds the sliders show, then the flags and loads come in.
    StallSlider526Change();
    StallSlider529Change();
    poll_.Slot(kErrorFlagSlot).PageIndex = kPageAlways;
    poll_.Slot(kLoadValueSlot).PageIndex = kPageAlways;
}

void TFormVRX52x::closeEvent(QCloseEvent* event) {
    // The main window closes its windows at program end whether they are shown or not; only a
    // shown window has anything to switch off.
    if (isVisible()) {
        FormClose();
    }
    QWidget::closeEvent(event);
}

void TFormVRX52x::FormClose() {
    poll_.Slot(kErrorFlagSlot).PageIndex = kPageNever;
    poll_.Slot(kLoadValueSlot).PageIndex = kPageNever;
    if (vrx526_.StallSlider->value() != kTopPosition ||
        vrx529_.StallSlider->value() != kTopPosition) {
        return; // the thresholds stay active on the chips
    }
    const PollingSuspension suspension = link_.SuspendPolling();
    const uint8_t off[6] = {kStallCommand, kChip529, kStallOffCode,
                            kStallCommand, kChip526, kStallOffCode};
    link_.SendBoardBytes(off, 6);
}

void TFormVRX52x::BtnCloseClick() {
    close();
}

void TFormVRX52x::StallSlider526Change() {
    SendThreshold(kChip526, *vrx526_.StallSlider);
}

void TFormVRX52x::StallSlider529Change() {
    SendThreshold(kChip529, *vrx529_.StallSlider);
}

void TFormVRX52x::SendThreshold(uint8_t chip, const QSlider& slider) {
    // Position 0 at the top is code 8 (detection off), the bottom position 7 is code 1.
    const uint8_t code = static_cast<uint8_t>(8 - slider.value());
    const uint8_t command[3] = {kStallCommand, chip, code};
    link_.SendBoardBytes(command, 3);
}

void TFormVRX52x::ShowErrorFlags(uint8_t a1, uint8_t a2, uint8_t /*a3*/) {
    ShowFlags(vrx526_, a2);
    ShowFlags(vrx529_, a1);
}

void TFormVRX52x::ShowLoadValues(uint8_t a1, uint8_t a2, uint8_t /*a3*/) {
    ShowLoad(vrx529_, a1);
    ShowLoad(vrx526_, a2);
}

void TFormVRX52x::ShowFlags(const ChipGroup& group, uint8_t flags) {
    for (int bit = 0; bit < 8; ++bit) {
        group.Leds[size_t(bit)]->SetLedColor((flags >> bit) & 1 ? lcCyan : lcDarkCyan);
    }
}

void TFormVRX52x::ShowLoad(const ChipGroup& group, uint8_t load) {
    // A progress bar ignores values beyond its range; a load above 7 is a full bar.
    group.StallBar->setValue(std::min<int>(load, kBottomPosition));
}

} // namespace vrx
