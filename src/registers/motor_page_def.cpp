// The three motor pages: the same items on every motor; names end in the motor's number.
#include "registers/register_page_def.h"

namespace vrx {

namespace {

QStringList Names(std::span<const std::string_view> names) {
    QStringList list;
    for (std::string_view name : names) {
        list << QString::fromLatin1(name.data(), qsizetype(name.size()));
    }
    return list;
}

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

RegisterPageDef MotorPageDef(int motor) {
    const QString n = QString::number(motor + 1);
    const auto number = [&](const char* stem, const Field& field) {
        return InputDef{stem + n, InputKind::Number, {}, field.min, field.max, {}};
    };
    const auto checks = [&](const QString& stem, std::span<const std::string_view> items) {
        return InputDef{stem + n, InputKind::CheckList, {}, 0, 0, Names(items)};
    };
    const auto shown = [&](const char* stem, DisplayKind kind = DisplayKind::Number) {
        return DisplayDef{stem + n, kind, {}};
    };
    const auto item = [&](MotorReg reg, std::vector<InputDef> inputs,
                          std::vector<DisplayDef> displays) {
        const RegisterDef& def = Register(reg);
        return RegisterItemDef{&def, Text(def.name), std::move(inputs), std::move(displays), {}, 0};
    };
    const auto field = [](MotorReg reg, size_t i) -> const Field& {
        return Register(reg).writeFields[i];
    };
    const auto single = [&](MotorReg reg, const char* edit, const char* display) {
        return item(reg, {number(edit, field(reg, 0))}, {shown(display)});
    };

    RegisterPageDef page;
    page.motor = motor;
    page.tabText = QStringLiteral("Motor ") + n;
    page.windowCaption = QStringLiteral("VRX630 Register Set (Motor %1)").arg(n);
    page.boxSuffix = n;
    page.listName = QStringLiteral("RGMot") + n;
    page.listHint = QStringLiteral(
        "Choose a register to be changed here, then fill in the corresponding value.");
    page.newValueHint = QStringLiteral("Fill in the register value here.");
    page.actualHint = QStringLiteral("The actual values of the registers are displayed here.");
    page.readOnlyCaption = QStringLiteral(" Read Only Values ");
    page.readOnlyHint =
        QStringLiteral("The actual values of the read only registers are displayed here.");
    page.copyName = QStringLiteral("BtnCopyMot") + n;
    page.copyHint = QStringLiteral(
        "Click here to copy the actual values into the corresponding parameter fields.");
    page.telegramHint =
        motor == 1
            ? QStringLiteral("The necessary SPI telegramme to change the selected register is "
                             "displayed here.")
            : QStringLiteral(
                  "The necessary SPI telegram to change the selected register is displayed here.");
    page.sendName = QStringLiteral("BtnSendMot") + n;

    page.items = {
        single(MotorReg::XTarget, "EditXTarg", "StaticXTarg"),
        single(MotorReg::XActual, "EditXAct", "StaticXAct"),
        single(MotorReg::VMin, "EditVMin", "StaticVMin"),
        single(MotorReg::VMax, "EditVMax", "StaticVMax"),
        single(MotorReg::VTarget, "EditVTarg", "StaticVTarg"),
        single(MotorReg::VActual, "EditVAct", "StaticVAct"),
        single(MotorReg::AMax, "EditAMax", "StaticAMax"),
        item(MotorReg::Currents,
             {number("EditAgtat", field(MotorReg::Currents, 0)),
              number("EditAleat", field(MotorReg::Currents, 1)),
              number("EditV0", field(MotorReg::Currents, 2)),
              number("EditThres", field(MotorReg::Currents, 3))},
             {shown("StaticAgtat"), shown("StaticAleat"), shown("StaticV0"), shown("StaticThres")}),
        item(MotorReg::PMulPDiv,
             {number("EditPMul", field(MotorReg::PMulPDiv, 0)),
              number("EditPDiv", field(MotorReg::PMulPDiv, 1))},
             {shown("StaticPMul"), shown("StaticPDiv")}),
        item(MotorReg::RefConfRampMode,
             {checks(motor == 0 ? QStringLiteral("CBRefConf") : QStringLiteral("CbRefConf"),
                     kRefConfNames),
              number("EditRampMode", field(MotorReg::RefConfRampMode, 1))},
             {shown("StaticRefConf", DisplayKind::Bits), shown("StaticRampMode"),
              DisplayDef{QStringLiteral("LedLP") + n, DisplayKind::Led, QStringLiteral("LP")}}),
        item(MotorReg::Interrupts,
             {checks(QStringLiteral("CbIMask"), kInterruptMaskNames),
              checks(QStringLiteral("CbIFlags"), kInterruptFlagNames)},
             {shown("StaticIMask", DisplayKind::Bits), shown("StaticIFlags", DisplayKind::Bits)}),
        item(MotorReg::Dividers,
             {number("EditPulsdiv", field(MotorReg::Dividers, 0)),
              number("EditRampdiv", field(MotorReg::Dividers, 1)),
              number("EditMStepres", field(MotorReg::Dividers, 2))},
             {shown("StaticPulsdiv"), shown("StaticRampdiv"), shown("StaticMStepres")}),
        single(MotorReg::DxRefTolerance, "EditTolerance", "StaticTolerance"),
        item(MotorReg::XLatched, {}, {}), // its value shows among the read-only values
    };
    page.items.back().note = QStringLiteral("Write 0 to reset");

    // The velocity inputs of the third motor stop at -2047.
    if (motor == 2) {
        page.items[4].inputs[0].min = -2047;
        page.items[5].inputs[0].min = -2047;
    }

    page.readOnly = {
        {&Register(MotorReg::AActual),
         {{QStringLiteral("StaticAActual") + n, DisplayKind::Number, QStringLiteral("A_ACTUAL")}},
         {},
         {}},
        {&Register(MotorReg::XLatched),
         {{QStringLiteral("StaticXLatched") + n, DisplayKind::Number, QStringLiteral("X_LATCHED")}},
         {},
         {}},
    };
    return page;
}

} // namespace vrx
