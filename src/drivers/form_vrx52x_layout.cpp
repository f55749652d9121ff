// The controls of the VRX52x window: two chip groups of flags, load bar and threshold slider.
#include "drivers/form_vrx52x.h"

#include "controls/led_little.h"
#include "controls/named.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <QVBoxLayout>

namespace vrx {


namespace {

struct FlagItem {
    const char* name; // middle part of the LED and label names
    const char* caption;
};

// In the order of the bits of the error-flag byte, which is also their order on screen.
constexpr FlagItem kFlags[8] = {{"OCA", "OC-A"},   {"OCB", "OC-B"},   {"OLA", "OL-A"},
                                {"OLB", "OL-B"},   {"OCHS", "OC-HS"}, {"UV", "UV"},
                                {"OTPW", "OT-PW"}, {"OT", "OT"}};

} // namespace

void TFormVRX52x::CreateChipGroup(ChipGroup& group, const QString& chip, const char* sdtLabel,
                                  const char* offLabel) {
    group.Grp = Named(new QGroupBox(QStringLiteral(" VRX%1 ").arg(chip), this),
                      QStringLiteral("GrpVRX") + chip);

    group.GrpFlags = Named(new QGroupBox(QStringLiteral(" Error Flags "), group.Grp),
                           QStringLiteral("GrpFlags") + chip);
    group.GrpFlags->setToolTip(
        QStringLiteral("The error flags of the VRX%1 are displayed here.").arg(chip));
    auto* flags = new QGridLayout(group.GrpFlags);
    flags->setHorizontalSpacing(4);
    for (int bit = 0; bit < 8; ++bit) {
        const QString name = QString::fromLatin1(kFlags[bit].name);
        auto* led =
            Named(new TLedLittle(group.GrpFlags), QStringLiteral("LED_%1_%2").arg(name, chip));
        led->SetLedColor(lcDarkCyan);
        led->SetClicLedColor(lcDarkGray);
        led->SetInterval(250);
        led->SetBlink(false);
        auto* label = Named(new QLabel(QString::fromLatin1(kFlags[bit].caption), group.GrpFlags),
                            QStringLiteral("Lbl%1_%2").arg(name, chip));
        flags->addWidget(led, bit, 0);
        flags->addWidget(label, bit, 1);
        group.Leds[size_t(bit)] = led;
    }
    flags->setColumnStretch(1, 1);

    group.GrpStall = Named(new QGroupBox(QStringLiteral(" Stall Detection "), group.Grp),
                           QStringLiteral("GrpStall") + chip);
    group.GrpStall->setToolTip(
        QStringLiteral("In this section the stall detection can be set up."));
    group.StallBar = Named(new QProgressBar(group.GrpStall), QStringLiteral("StallBar") + chip);
    group.StallBar->setOrientation(Qt::Vertical);
    group.StallBar->setRange(0, kBottomPosition);
    group.StallBar->setValue(0);
    group.StallBar->setTextVisible(false);
    group.StallBar->setToolTip(
        QStringLiteral("This bar shows the load detection value measured by the VRX%1.").arg(chip));
    group.StallSlider =
        Named(new QSlider(Qt::Vertical, group.GrpStall), QStringLiteral("StallSlider") + chip);
    group.StallSlider->setRange(kTopPosition, kBottomPosition);
    group.StallSlider->setPageStep(1);
    group.StallSlider->setTickPosition(QSlider::TicksRight);
    group.StallSlider->setTickInterval(1);
    // Position 0 ("SDT Off") is at the top; the arrow keys and the wheel move the way it looks.
    group.StallSlider->setInvertedAppearance(true);
    group.StallSlider->setInvertedControls(true);
    group.StallSlider->setValue(kTopPosition);
    group.StallSlider->setToolTip(QStringLiteral(
        "This slider sets the stall detection threshold. The \"SDT Off\" position turns the "
        "stall detection completely off."));
    auto* sdt =
        Named(new QLabel(QStringLiteral("SDT"), group.GrpStall), QString::fromLatin1(sdtLabel));
    auto* off =
        Named(new QLabel(QStringLiteral("Off"), group.GrpStall), QString::fromLatin1(offLabel));
    auto* topLabels = new QVBoxLayout;
    topLabels->setSpacing(0);
    topLabels->addWidget(sdt);
    topLabels->addWidget(off);
    topLabels->addStretch(1);
    auto* stall = new QHBoxLayout(group.GrpStall);
    stall->addWidget(group.StallBar);
    stall->addSpacing(8);
    stall->addWidget(group.StallSlider);
    stall->addLayout(topLabels);

    auto* row = new QHBoxLayout(group.Grp);
    row->addWidget(group.GrpFlags);
    row->addWidget(group.GrpStall);
}

} // namespace vrx
