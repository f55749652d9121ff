#include "drivers/form_vrx516.h"

#include "controls/spin_edit.h"
#include "drivers/current_code.h"
#include "drivers/fixed_window.h"
#include "controls/named.h"
#include "link/board_link.h"
#include "link/serial_port.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>


namespace vrx {


namespace {

constexpr int kInitialMilliamps = 750;

} // namespace

TFormVRX516::TFormVRX516(BoardLink& link, TSerialPort& port, QWidget* parent)
    : QWidget(parent, Qt::Window), link_(link), port_(port) {
    setObjectName(QStringLiteral("FormVRX516"));
    setWindowTitle(QStringLiteral("VRX516 Parameters"));

    GrpCurrent =
        Named(new QGroupBox(QStringLiteral(" Maximum Motor Current "), this), "GrpCurrent");
    static const char* const kLabelNames[3] = {"LblMotor1", "LblMotor2", "LblMotor3"};
    static const char* const kEditNames[3] = {"EditMotor1", "EditMotor2", "EditMotor3"};
    auto* grid = new QGridLayout(GrpCurrent);
    for (int motor = 0; motor < 3; ++motor) {
        auto* edit = Named(new TSpinEdit(GrpCurrent), kEditNames[motor]);
        edit->setRange(0, kMaxCurrentMilliamps);
        edit->setValue(kInitialMilliamps);
        auto* label =
            Named(new QLabel(QStringLiteral("Motor &%1 (mA):").arg(motor + 1), GrpCurrent),
                  kLabelNames[motor]);
        label->setBuddy(edit);
        grid->addWidget(label, motor, 0);
        grid->addWidget(edit, motor, 1);
        LblMotor[size_t(motor)] = label;
        EditMotor[size_t(motor)] = edit;
    }

    BtnApply = Named(new QPushButton(QStringLiteral("&Apply"), this), "BtnApply");
    BtnApply->setAutoDefault(false);
    connect(BtnApply, &QPushButton::clicked, this, &TFormVRX516::BtnApplyClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnApply);
    auto* form = new QVBoxLayout(this);
    form->addWidget(GrpCurrent);
    form->addLayout(buttons);

    FormCreate();
}

void TFormVRX516::FormCreate() {
    drivers::MakeFixedSizeWindow(*this);
}

void TFormVRX516::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous() && !placed_) {
        placed_ = true;
        drivers::CentreOverOwner(*this);
    }
}

void TFormVRX516::BtnApplyClick() {
    const PollingSuspension suspension = link_.SuspendPolling();
    for (int motor = 0; motor < 3; ++motor) {
        // The field's value may still be a typed number outside its range when the button is
        // reached by its accelerator; CurrentCode clamps it.
        const uint8_t command[3] = {kCurrentCommand, static_cast<uint8_t>(motor),
                                    CurrentCode(EditMotor[size_t(motor)]->value())};
        port_.Write(command, 3); // a failed write is not reported; the others are still sent
        if (!link_.WaitTxEmpty()) {
            return; // a line that does not send: the rest would only wait in vain
        }
    }
}

} // namespace vrx
