// The global page: the cover registers, the telegram words, the reference switch inputs and the
// stepper motor global parameter register.
#include "registers/register_page_def.h"

namespace vrx {

RegisterPageDef GlobalPageDef() {
    const auto field = [](GlobalReg reg, size_t i) -> const Field& {
        return Register(reg).writeFields[i];
    };
    const auto number = [&](const char* name, GlobalReg reg, size_t i, const char* caption = "") {
        return InputDef{QLatin1String(name), InputKind::Number, QLatin1String(caption),
                        field(reg, i).min,   field(reg, i).max, {}};
    };
    const auto flag = [](const char* name, const char* caption) {
        return InputDef{QLatin1String(name), InputKind::Flag, QLatin1String(caption), 0, 1, {}};
    };
    const auto shown = [](const char* name, DisplayKind kind = DisplayKind::Number,
                          const char* caption = "") {
        return DisplayDef{QLatin1String(name), kind, QLatin1String(caption)};
    };
    const auto led = [&](const char* name, const char* caption) {
        return shown(name, DisplayKind::Led, caption);
    };

    RegisterPageDef page;
    page.tabText = QStringLiteral("Global Parameters");
    page.windowCaption = QStringLiteral("VRX630 Register Set (Global Parameters)");
    page.boxSuffix = QStringLiteral("G");
    page.listName = QStringLiteral("RGGlobalRegs");
    page.listHint = QStringLiteral(
        "Choose a register to be changed here, and then fill in the corresponding value.");
    page.readWriteCaption = QStringLiteral(" Read / Write ");
    page.newValueHint = QStringLiteral("Fill in the value here.");
    page.actualHint = QStringLiteral("The actual contents of the registers are displayed here.");
    page.readOnlyCaption = QStringLiteral(" Read Only ");
    page.readOnlyHint =
        QStringLiteral("The actual contents of the read only registers are displayed here.");
    page.readOnlyFirst = true;
    page.copyName = QStringLiteral("BtnCopyGlobal");
    page.copyHint = QStringLiteral("Click here to copy the actual contents of the registers into "
                                   "the corresponding parameter fields.");
    page.telegramHint = QStringLiteral(
        "The necessary SPI telegram to change the selected register is displayed here.");
    page.sendName = QStringLiteral("BtnSendGlobal");

    const RegisterDef& cover = Register(GlobalReg::Cover);
    const RegisterDef& coverTelegram = Register(GlobalReg::CoverTelegram);
    const RegisterDef& words = Register(GlobalReg::TelegramLowWord);
    const RegisterDef& parameters = Register(GlobalReg::GlobalParameters);
    page.items = {
        {&cover,
         QStringLiteral("SPI_COVER_POS / SPI_COVER LEN"),
         {number("EditSPICP", GlobalReg::Cover, 0), number("EditSPICL", GlobalReg::Cover, 1)},
         {shown("StaticSPICP"), shown("StaticSPICL")},
         {},
         0},
        {&coverTelegram,
         QStringLiteral("SPI_COVER_TELEGRAM"),
         {InputDef{QStringLiteral("EditSPICT"), InputKind::HexText, {}, 0, 0, {}}},
         {shown("StaticSPICT", DisplayKind::Hex)},
         {},
         0},
        // Writing 0 to the low word latches both words; they show among the read-only values.
        {&words, QStringLiteral("Get Low/High Word"), {}, {}, {}, 0},
        {&parameters,
         QStringLiteral("Stepper Motor Global Parameter Reg."),
         {flag("CbMot1rRef", "M1R_REF"), flag("CbRefMux", "REFMUX"),
          flag("CbSPIContUpd", "SPI_CONTINUOUS_UPD"),
          number("EditClkDiv", GlobalReg::GlobalParameters, 3, "SPI_CLK_DIV"),
          flag("CbCsCI", "csComInd"), flag("CbPoDAC", "PoDAC"), flag("CbPoFD", "PoFD"),
          flag("CbPoPH", "PoPH"), flag("CbSPICLK", "SPI_CLK"), flag("CbSPICS", "SPI_CS"),
          number("EditLSMD", GlobalReg::GlobalParameters, 10, "LSMD")},
         {led("LedMot1rRef", "M1R_REF"), led("LedRefMux", "REFMUX"),
          led("LedSPIContUpd", "SPI_CONTINUOUS_UPD"), shown("StaticClkDiv"),
          led("LedCsCI", "csComInd"), led("LedPoDAC", "PoDAC"), led("LedPoFD", "PoFD"),
          led("LedPoPH", "PoPH"), led("LedSPICLK", "SPI_CLK"), led("LedSPICS", "SPI_CS"),
          shown("StaticLSMD")},
         {},
         3},
    };

    page.readOnly = {
        {&words, {shown("StaticSPILow", DisplayKind::Hex, "SPI_TELEGRAM_LOW_WORD")}, {}, {}},
        {&Register(GlobalReg::TelegramHighWord),
         {shown("StaticSPIHigh", DisplayKind::Hex, "SPI_TELEGRAM_HIGH_WORD")},
         {},
         {}},
        {&Register(GlobalReg::RefSwitchInputs),
         {led("LedR1", "Right 1"), led("LedL1", "Left 1"), led("LedR2", "Right 2"),
          led("LedL2", "Left 2"), led("LedR3", "Right 3"), led("LedL3", "Left 3 ")},
         QStringLiteral("GrpRefSwitches"),
         QStringLiteral(" Reference Switches ")},
    };
    return page;
}

} // namespace vrx
