// The controls of the VRX880 window: the register panels and the special functions.
#include "drivers/form_vrx880.h"

#include "controls/spin_edit.h"
#include "controls/named.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <climits>

namespace vrx {


namespace {

QLabel* SunkenText(const char* name, const QString& text, QWidget* parent) {
    auto* label = Named(new QLabel(text, parent), name);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

} // namespace

QGroupBox* TFormVRX880::CreateWriteGroup() {
    auto* group =
        Named(new QGroupBox(QStringLiteral(" VRX880 Writable Registers "), this), "GrpWriteReg880");

    RGRegisters880 = Named(new QGroupBox(QStringLiteral(" Register "), group), "RGRegisters880");
    RGRegisters880->setToolTip(QStringLiteral(
        "Choose a register to be changed here, then fill in the corresponding value."));
    auto* registers = new QVBoxLayout(RGRegisters880);
    for (const char* item : {"DX", "PHI_FRAC", "PHI_INT", "PWM_AMPL", "PWM_CTRL", "STATUS"}) {
        registers->addWidget(new QRadioButton(QString::fromLatin1(item), RGRegisters880));
    }

    GrpNewValue = Named(new QGroupBox(QStringLiteral(" New Value "), group), "GrpNewValue");
    GrpNewValue->setToolTip(QStringLiteral("Fill in the register value here."));
    auto* values = new QHBoxLayout(GrpNewValue);
    static const char* const kSpinNames[5] = {"SpinEdit1", "SpinEdit2", "SpinEdit3", "SpinEdit4",
                                              "SpinEdit5"};
    for (size_t i = 0; i < SpinEdit.size(); ++i) {
        auto* edit = Named(new TSpinEdit(GrpNewValue), kSpinNames[i]);
        edit->setRange(INT_MIN, INT_MAX); // no limits
        edit->setValue(0);
        edit->setMaximumWidth(70);
        values->addWidget(edit);
        SpinEdit[i] = edit;
    }

    GrpSPI = Named(new QGroupBox(QStringLiteral(" SPI Telegram "), group), "GrpSPI");
    GrpSPI->setToolTip(
        QStringLiteral("The necessary SPI telegram to change the register is displayed here."));
    auto* bytes = new QHBoxLayout(GrpSPI);
    QFont large(QStringLiteral("MS Sans Serif"));
    large.setPixelSize(16);
    static const char* const kByteNames[4] = {"StaticSPI1", "StaticText1", "StaticText2",
                                              "StaticText3"};
    for (size_t i = 0; i < SpiBytes.size(); ++i) {
        auto* field = SunkenText(kByteNames[i], QStringLiteral("00"), GrpSPI);
        field->setFont(large);
        field->setAlignment(Qt::AlignCenter);
        field->setMinimumWidth(36);
        bytes->addWidget(field);
        SpiBytes[i] = field;
    }
    bytes->addStretch(1);

    BtnSendSPI = Named(new QPushButton(QStringLiteral("Send SPI Telegram"), group), "BtnSendSPI");
    BtnSendSPI->setToolTip(
        QStringLiteral("Click here to send the SPI telegram to change the selected register."));
    BtnSendSPI->setAutoDefault(false);

    auto* right = new QVBoxLayout;
    right->addWidget(GrpNewValue);
    right->addWidget(GrpSPI);
    right->addWidget(BtnSendSPI, 0, Qt::AlignLeft);
    right->addStretch(1);
    auto* row = new QHBoxLayout(group);
    row->addWidget(RGRegisters880);
    row->addLayout(right, 1);
    return group;
}

QGroupBox* TFormVRX880::CreateReadGroup() {
    auto* group =
        Named(new QGroupBox(QStringLiteral(" VRX880 Readable Registers "), this), "GrpReadReg880");
    group->setToolTip(QStringLiteral("The read-only registers of the VRX880 are displayed here."));
    StaticText4 = SunkenText("StaticText4", QStringLiteral("0"), group);
    StaticText4->setMinimumWidth(90);
    auto* grid = new QGridLayout(group);
    grid->addWidget(Named(new QLabel(QStringLiteral("X_HIGH / X_LOW"), group), "LblXPos"), 0, 0);
    grid->addWidget(StaticText4, 0, 1);
    grid->addWidget(Named(new QLabel(QStringLiteral("ENCODER"), group), "LblEncoder"), 1, 0);
    grid->addWidget(Named(new QLabel(QStringLiteral("STATUS"), group), "LblStatus"), 2, 0);
    grid->setColumnStretch(2, 1);
    return group;
}

QGroupBox* TFormVRX880::CreateSpecialGroup() {
    auto* group = Named(new QGroupBox(QStringLiteral(" Special Functions "), this), "GrpSpecial");
    group->setToolTip(QStringLiteral(
        "The special functions of the VRX880 evalution board can be controlled here."));
    CheckEnable880 = Named(new QCheckBox(QStringLiteral("VRX880 Enable"), group), "CheckEnable880");
    CheckShaft880 = Named(new QCheckBox(QStringLiteral("VRX880 Shaft"), group), "CheckShaft880");
    RBModeUVW = Named(new QRadioButton(QStringLiteral("VRX880 3 Phase"), group), "RBModeUVW");
    RBModeXY = Named(new QRadioButton(QStringLiteral("VRX880 2 Phase"), group), "RBModeXY");
    CheckGPO =
        Named(new QCheckBox(QStringLiteral("General Purpose Output (Laser)"), group), "CheckGPO");
    StaticPoti = SunkenText("StaticPoti", QStringLiteral("1023"), group);
    StaticVoltage = SunkenText("StaticVoltage", QStringLiteral("1023"), group);
    for (QLabel* field : {StaticPoti, StaticVoltage}) {
        field->setMinimumWidth(70);
    }

    auto* modes = new QVBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{CheckEnable880, CheckShaft880, RBModeUVW,
                                                      RBModeXY, CheckGPO}) {
        modes->addWidget(w);
    }
    auto* readings = new QGridLayout;
    readings->addWidget(
        Named(new QLabel(QStringLiteral("Potentiometer Position:"), group), "LblPoti"), 0, 0);
    readings->addWidget(StaticPoti, 0, 1);
    readings->addWidget(
        Named(new QLabel(QStringLiteral("Operating Voltage:"), group), "LblVoltage"), 1, 0);
    readings->addWidget(StaticVoltage, 1, 1);
    readings->setRowStretch(2, 1);
    auto* row = new QHBoxLayout(group);
    row->addLayout(modes);
    row->addSpacing(16);
    row->addLayout(readings);
    row->addStretch(1);
    return group;
}

} // namespace vrx
