// The main window's controls: groups, captions, hints, ranges and object names.
#include "app/form_main.h"
#include "controls/named.h"

#include "chip/physical_units.h"
#include "chip/register_map.h"
#include "controls/led_little.h"
#include "controls/spin_edit.h"
#include "controls/units_label.h"
#include "protocol/motor_sequences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace vrx {

namespace {

QLabel* SunkenText(const QString& name, const QString& text, QWidget* parent) {
    auto* label = Named(new QLabel(text, parent), name);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(90);
    label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

} // namespace

void TFormMain::CreateControls() {
    auto* central = new QWidget(this);
    auto* top = new QHBoxLayout;
    top->addWidget(CreateInterfaceGroup(), 3);
    top->addWidget(CreateMoreGroup(), 2);
    top->addWidget(CreateStatusGroup(), 3);
    auto* motorRow = new QHBoxLayout;
    for (int motor = 0; motor < kMotorCount; ++motor) {
        motorRow->addWidget(CreateMotorGroup(motor));
    }
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(CreateAllMotorsGroup());
    ShowUnits =
        Named(new QCheckBox(QStringLiteral("Show steps/s"), central), QStringLiteral("ShowUnits"));
    ShowUnits->setToolTip(QStringLiteral(
        "If ticked, velocities and accelerations are also shown in steps/s and steps/s\u00B2, "
        "worked out from the board clock and each motor's PULSDIV and RAMPDIV."));
    ShowUnits->setChecked(true);
    connect(ShowUnits, &QCheckBox::toggled, &units_, &UnitsState::SetShown);
    bottom->addWidget(ShowUnits, 0, Qt::AlignBottom);
    bottom->addStretch(1);
    auto* column = new QVBoxLayout(central);
    column->addLayout(top);
    column->addLayout(motorRow);
    column->addLayout(bottom);
    setCentralWidget(central);
    setStatusBar(Named(new QStatusBar(this), QStringLiteral("StatusBar")));
    statusBar()->setSizeGripEnabled(false);
}

QGroupBox* TFormMain::CreateInterfaceGroup() {
    auto* group =
        Named(new QGroupBox(QStringLiteral(" Interface "), this), QStringLiteral("GrpInterface"));
    ComboCOM = Named(new QComboBox(group), QStringLiteral("ComboCOM"));
    ComboCOM->setEditable(true); // any typed text is a device name
    ComboCOM->setInsertPolicy(QComboBox::NoInsert);
    // An adapter's whole label: "FTDI FT232R USB UART (A1B2C3) on ttyUSB0".
    ComboCOM->setMinimumContentsLength(44);
    ComboCOM->setToolTip(
        QStringLiteral("Select the serial port to which the evaluation board is connected."));
    // A choice longer than the box still shows its beginning, the adapter's maker and model.
    connect(ComboCOM, &QComboBox::currentIndexChanged, ComboCOM,
            [this] { ComboCOM->lineEdit()->setCursorPosition(0); });
    BtnOpen = NamedButton(QStringLiteral("BtnOpen"), QStringLiteral("&Open"),
                          QStringLiteral("Clicking this button opens the serial port."), group);
    BtnClose = NamedButton(QStringLiteral("BtnClose"), QStringLiteral("&Close"),
                           QStringLiteral("Clicking this button closes the serial port."), group);
    StaticInfo1 = SunkenText(QStringLiteral("StaticInfo1"), QString(), group);
    StaticInfo2 = SunkenText(QStringLiteral("StaticInfo2"), QString(), group);
    CheckReconnect = Named(new QCheckBox(QStringLiteral("Reconnect when the port returns"), group),
                           QStringLiteral("CheckReconnect"));
    CheckReconnect->setToolTip(QStringLiteral(
        "When the port goes away (adapter pulled), wait for it and reopen it when it returns."));
    // The port box has the group's width to itself, the buttons go below it.
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(3);
    grid->addWidget(ComboCOM, 0, 0, 1, 3);
    grid->addWidget(BtnOpen, 1, 1);
    grid->addWidget(BtnClose, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->addWidget(StaticInfo1, 2, 0, 1, 3);
    grid->addWidget(StaticInfo2, 3, 0, 1, 3);
    grid->addWidget(CheckReconnect, 4, 0, 1, 3);
    connect(BtnOpen, &QPushButton::clicked, this, &TFormMain::BtnOpenClick);
    connect(CheckReconnect, &QCheckBox::toggled, this, &TFormMain::CheckReconnectClick);
    connect(BtnClose, &QPushButton::clicked, this, &TFormMain::BtnCloseClick);
    return group;
}

QGroupBox* TFormMain::CreateMoreGroup() {
    auto* group = Named(new QGroupBox(QStringLiteral(" More "), this), QStringLiteral("GrpMore"));
    BtnCmd630 =
        NamedButton(QStringLiteral("BtnCmd630"), QStringLiteral("VRX &630 Registers..."),
                    QStringLiteral("Click here to open the advanced register window."), group);
    BtnGraphics = NamedButton(QStringLiteral("BtnGraphics"), QStringLiteral("&Graphics..."),
                              QStringLiteral("Click here to open the graphics window."), group);
    BtnVRX640 = NamedButton(QStringLiteral("BtnVRX640"), QStringLiteral("VRX5&16 Parameters..."),
                            QString(), group);
    CheckSlow =
        Named(new QCheckBox(QStringLiteral("Use Slow SPI"), group), QStringLiteral("CheckSlow"));
    CheckFastPoll = Named(new QCheckBox(QStringLiteral("Poll as fast as the board answers"), group),
                          QStringLiteral("CheckFastPoll"));
    CheckFastPoll->setToolTip(QStringLiteral(
        "If ticked, the next read leaves as soon as the board has answered the last one, instead "
        "of every 10 ms."));
    // The clock the physical units are worked out from; the chip cannot tell it.
    auto* clockLabel =
        Named(new QLabel(QStringLiteral("Board cloc&k:"), group), QStringLiteral("LblClockMHz"));
    EditClockMHz = Named(new TSpinEdit(group), QStringLiteral("EditClockMHz"));
    EditClockMHz->setRange(kMinClockMhz, kMaxClockMhz);
    EditClockMHz->setValue(kDefaultClockMhz);
    EditClockMHz->setToolTip(QStringLiteral(
        "The clock of the VRX630 on the board, in MHz, from which steps/s are worked out."));
    clockLabel->setBuddy(EditClockMHz);
    BtnRecord = NamedButton(
        QStringLiteral("BtnRecord"), QStringLiteral("&Record..."),
        QStringLiteral("Click here to record every polling pass into a CSV file."), group);
    // As wide as its longer caption from the start, so starting a recording moves nothing.
    BtnRecord->setText(QStringLiteral("Stop &Recording"));
    BtnRecord->setMinimumWidth(BtnRecord->sizeHint().width());
    BtnRecord->setText(QStringLiteral("&Record..."));
    LblRecord = Named(new QLabel(group), QStringLiteral("LblRecord"));
    LblRecord->setMinimumWidth(LblRecord->fontMetrics().horizontalAdvance(
        QStringLiteral("Recording: 88888 s, 8888888 passes")));
    auto* record = new QHBoxLayout;
    record->addWidget(BtnRecord);
    record->addWidget(LblRecord, 1);
    auto* box = new QVBoxLayout(group);
    box->setSpacing(3); // as the motor panels: room for a laptop screen at 150 %
    box->addWidget(BtnCmd630);
    box->addWidget(BtnGraphics);
    box->addWidget(BtnVRX640);
    auto* slowAndClock = new QHBoxLayout;
    slowAndClock->addWidget(CheckSlow);
    slowAndClock->addStretch(1);
    slowAndClock->addWidget(clockLabel);
    slowAndClock->addWidget(EditClockMHz);
    slowAndClock->addWidget(new QLabel(QStringLiteral("MHz"), group));
    box->addLayout(slowAndClock);
    box->addWidget(CheckFastPoll);
    box->addLayout(record);
    box->addStretch(1);
    // Hidden buttons keep their place so the window does not change size.
    for (QWidget* w : {static_cast<QWidget*>(BtnVRX640), static_cast<QWidget*>(CheckSlow)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    connect(BtnCmd630, &QPushButton::clicked, this, &TFormMain::BtnCmd630Click);
    connect(BtnGraphics, &QPushButton::clicked, this, &TFormMain::BtnGraphicsClick);
    connect(BtnVRX640, &QPushButton::clicked, this, &TFormMain::BtnVRX640Click);
    connect(BtnRecord, &QPushButton::clicked, this, &TFormMain::BtnRecordClick);
    connect(CheckSlow, &QCheckBox::toggled, this, [this](bool on) { link_.SlowSpi = on; });
    connect(EditClockMHz, &TSpinEdit::valueChanged, this, &TFormMain::EditClockMHzChange);
    return group;
}

QGroupBox* TFormMain::CreateStatusGroup() {
    auto* group = Named(new QGroupBox(QStringLiteral(" VRX630 Status Bits "), this),
                        QStringLiteral("GrpStatus"));
    group->setToolTip(QStringLiteral("The VRX630 status bits are being displayed here."));
    static const char* const kLedNames[8] = {"LedXReached1",    "LedReference1", "LedXReached2",
                                             "LedReference2",   "LedXReached3",  "LedReference3",
                                             "LedCoverWaiting", "LedInterrupt"};
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(4);
    for (int bit = 0; bit < 8; ++bit) {
        auto* led = Named(new TLedLittle(group), QString::fromLatin1(kLedNames[bit]));
        auto* label = new QLabel(QString::fromUtf8(kStatusBitLabels[size_t(bit)].data(),
                                                   qsizetype(kStatusBitLabels[size_t(bit)].size())),
                                 group);
        label->setObjectName(QStringLiteral("Lbl%1").arg(QString::fromLatin1(kLedNames[bit] + 3)));
        statusLeds_[size_t(bit)] = led;
        const int row = bit < 6 ? bit / 2 : 3;
        const int col = bit < 6 ? (bit % 2) * 2 : (bit - 6) * 2;
        grid->addWidget(led, row, col);
        grid->addWidget(label, row, col + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return group;
}

QGroupBox* TFormMain::CreateMotorGroup(int motor) {
    const QString n = QString::number(motor + 1);
    MotorPanel& p = motors_[size_t(motor)];
    p.group = Named(new QGroupBox(QStringLiteral(" Motor %1 ").arg(n), this),
                    QStringLiteral("GrpMotor") + n);
    auto* grid = new QGridLayout(p.group);
    // Fourteen rows: at the style's spacing the window would not fit a laptop at 150 %.
    grid->setVerticalSpacing(3);
    int row = 0;
    const auto units = [&](TUnitsLabel*& label, UnitKind kind, const QString& name) {
        label =
            Named(new TUnitsLabel(units_, kind, motor, p.group), QStringLiteral("Units") + name);
        grid->addWidget(label, row, 2);
    };
    const auto input = [&](TSpinEdit*& edit, QLabel*& label, const char* name, const char* lbl,
                           const QString& caption, ValueRange range,
                           TUnitsLabel** converted = nullptr, UnitKind kind = UnitKind::Velocity) {
        label = Named(new QLabel(caption, p.group), QLatin1String(lbl) + n);
        edit = Named(new TSpinEdit(p.group), QLatin1String(name) + n);
        edit->setRange(range.min, range.max);
        edit->setValue(0);
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        if (converted != nullptr) {
            units(*converted, kind, edit->objectName());
            TUnitsLabel* shown = *converted;
            shown->SetRaw(0);
            connect(edit, &TSpinEdit::valueChanged, shown, &TUnitsLabel::SetRaw);
        }
        ++row;
    };
    input(p.EditXTarget, p.LblXTarget, "EditXTarget", "LblXTarget",
          QStringLiteral("Target Position:"), kTargetPositionRange);
    input(p.EditVTarget, p.LblVTarget, "EditVTarget", "LblVTarget",
          QStringLiteral("Target Velocity:"), kTargetVelocityRange, &p.UnitsVTarget);
    input(p.EditVMin, p.LblVMin, "EditVMin", "LblVMin", QStringLiteral("Vmin:"),
          kVelocityLimitRange, &p.UnitsVMin);
    input(p.EditVMax, p.LblVMax, "EditVMax", "LblVMax", QStringLiteral("Vmax:"),
          kVelocityLimitRange, &p.UnitsVMax);
    input(p.EditAMax, p.LblAMax, "EditAMax", "LblAMax", QStringLiteral("Max. Accel.:"),
          kAccelerationRange, &p.UnitsAMax, UnitKind::Acceleration);
    input(p.EditVActual, p.LblVActual, "EditVActual", "LblVActual",
          QStringLiteral("Actual Velocity:"), kActualVelocityRange, &p.UnitsVActual);

    auto* rampLabel =
        Named(new QLabel(QStringLiteral("Ramp Mode:"), p.group), QStringLiteral("LblRampMode") + n);
    p.CbRampMode = Named(new QComboBox(p.group), QStringLiteral("CbRampMode") + n);
    for (std::string_view mode : kRampModeNames) {
        p.CbRampMode->addItem(QString::fromLatin1(mode.data(), qsizetype(mode.size())));
    }
    rampLabel->setBuddy(p.CbRampMode);
    grid->addWidget(rampLabel, row, 0);
    grid->addWidget(p.CbRampMode, row++, 1);

    p.BtnStop = NamedButton(QStringLiteral("BtnStop") + n, QStringLiteral("Stop!"),
                            QStringLiteral("Click this button to stop motor %1.").arg(n), p.group);
    p.BtnGo = NamedButton(
        QStringLiteral("BtnGo") + n, QStringLiteral("Go!"),
        QStringLiteral("Click this button to run motor %1 using the parameters specified above.")
            .arg(n),
        p.group);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(p.BtnStop);
    buttons->addWidget(p.BtnGo);
    grid->addLayout(buttons, row++, 0, 1, 3);

    const auto display = [&](QLabel*& target, const char* name, const QString& caption,
                             TUnitsLabel** converted = nullptr,
                             UnitKind kind = UnitKind::Velocity) {
        // "LblStatic...": the input labels already use "Lbl" and the register's name.
        auto* label =
            Named(new QLabel(caption, p.group), QStringLiteral("Lbl") + QLatin1String(name) + n);
        target = SunkenText(QLatin1String(name) + n, QStringLiteral("0"), p.group);
        grid->addWidget(label, row, 0);
        grid->addWidget(target, row, 1);
        if (converted != nullptr) {
            units(*converted, kind, target->objectName());
            (*converted)->SetRaw(0);
        }
        ++row;
    };
    display(p.StaticXAct, "StaticXAct", QStringLiteral("Actual Position:"));
    display(p.StaticVAct, "StaticVAct", QStringLiteral("Actual Velocity:"), &p.UnitsStaticVAct);
    display(p.StaticAAct, "StaticAAct", QStringLiteral("Actual Accel.:"), &p.UnitsStaticAAct,
            UnitKind::Acceleration);
    display(p.StaticVTarget, "StaticVTarget", QStringLiteral("Target Velocity:"),
            &p.UnitsStaticVTarget);
    for (const auto& [label, reg] : {std::pair{p.UnitsStaticVAct, MotorReg::VActual},
                                     std::pair{p.UnitsStaticAAct, MotorReg::AActual},
                                     std::pair{p.UnitsStaticVTarget, MotorReg::VTarget}}) {
        label->SetHeldAs(&Register(reg).readFields.front());
    }

    connect(p.BtnGo, &QPushButton::clicked, this, &TFormMain::BtnGo1Click);
    connect(p.BtnStop, &QPushButton::clicked, this, &TFormMain::BtnStop1Click);
    static constexpr void (TFormMain::*kRampHandlers[3])() = {&TFormMain::CbRampMode1Change,
                                                              &TFormMain::CbRampMode2Change,
                                                              &TFormMain::CbRampMode3Change};
    connect(p.CbRampMode, &QComboBox::currentIndexChanged, this, kRampHandlers[motor]);
    return p.group;
}

QGroupBox* TFormMain::CreateAllMotorsGroup() {
    auto* group =
        Named(new QGroupBox(QStringLiteral(" All Motors "), this), QStringLiteral("GrpAllMotors"));
    BtnStopAll = NamedButton(QStringLiteral("BtnStopAll"), QStringLiteral("All &Stop!"),
                             QStringLiteral("Click this button to stop all motors."), group);
    BtnGoAll = NamedButton(
        QStringLiteral("BtnGoAll"), QStringLiteral("&All Go!"),
        QStringLiteral("Click this button to run all motors using the parameters specified above."),
        group);
    auto* box = new QHBoxLayout(group);
    box->addWidget(BtnStopAll);
    box->addWidget(BtnGoAll);
    connect(BtnStopAll, &QPushButton::clicked, this, &TFormMain::BtnStopAllClick);
    connect(BtnGoAll, &QPushButton::clicked, this, &TFormMain::BtnGoAllClick);
    return group;
}

} // namespace vrx
