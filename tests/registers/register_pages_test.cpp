// The register pages without a board: the telegram each item composes from its inputs, the
// enabling of the inputs, the decoding of answers into the actual values, and Copy.
#include "register_window_fixture.h"

#include <ostream>
#include <utility>
#include <vector>

namespace vrx::test {
namespace {

constexpr int kGlobal = 3;

struct ComposeCase {
    const char* what;
    int page;
    int item;
    std::vector<std::pair<const char*, const char*>> inputs;
    const char* boxes;
    std::vector<const char*> enabled; // the inputs enabled with the item
};

void PrintTo(const ComposeCase& c, std::ostream* os) {
    *os << c.what;
}

class ComposeTest : public RegisterWindowTest, public testing::WithParamInterface<ComposeCase> {};

TEST_P(ComposeTest, TheSelectedItemComposesItsTelegramFromItsInputs) {
    const ComposeCase& c = GetParam();
    Select(c.page, c.item);
    for (const auto& [name, text] : c.inputs) {
        Enter(name, text);
    }
    EXPECT_EQ(Boxes(c.page), c.boxes);
    QStringList enabled;
    for (const char* name : c.enabled) {
        enabled << name;
    }
    enabled.sort();
    EXPECT_EQ(EnabledInputs(c.page), enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Items, ComposeTest,
    testing::Values(
        ComposeCase{
            "A_MAX of motor 2", 1, 6, {{"EditAMax2", "1000"}}, "2C 00 03 E8", {"EditAMax2"}},
        ComposeCase{
            "X_TARGET -1 of motor 3", 2, 0, {{"EditXTarg3", "-1"}}, "40 FF FF FF", {"EditXTarg3"}},
        ComposeCase{
            "V_TARGET -1 of motor 1", 0, 4, {{"EditVTarg1", "-1"}}, "08 00 0F FF", {"EditVTarg1"}},
        ComposeCase{
            "currents and threshold",
            0,
            7,
            {{"EditAgtat1", "2"}, {"EditAleat1", "3"}, {"EditV01", "4"}, {"EditThres1", "1500"}},
            "10 23 45 DC",
            {"EditAgtat1", "EditAleat1", "EditV01", "EditThres1"}},
        ComposeCase{"P_MUL / P_DIV",
                    0,
                    8,
                    {{"EditPMul1", "200"}, {"EditPDiv1", "13"}},
                    "12 00 C8 0D",
                    {"EditPMul1", "EditPDiv1"}},
        ComposeCase{"REF_CONF / RAMP_MODE of motor 1",
                    0,
                    9,
                    {{"CBRefConf1", "1010"}, {"EditRampMode1", "3"}},
                    "14 00 0A 03",
                    {"CBRefConf1", "EditRampMode1"}},
        ComposeCase{"interrupt mask and flags of motor 2",
                    1,
                    10,
                    {{"CbIMask2", "10000001"}, {"CbIFlags2", "00000011"}},
                    "36 00 81 03",
                    {"CbIMask2", "CbIFlags2"}},
        ComposeCase{"dividers",
                    0,
                    11,
                    {{"EditPulsdiv1", "13"}, {"EditRampdiv1", "5"}, {"EditMStepres1", "7"}},
                    "18 00 D5 07",
                    {"EditPulsdiv1", "EditRampdiv1", "EditMStepres1"}},
        ComposeCase{"X_LATCHED of motor 3 has no input", 2, 13, {}, "5C 00 00 00", {}},
        // The preview shows what Send sends: a number typed past the field's range counts as
        // the range's end; a text that is no number, or a number beyond what the field can
        // negate, counts as the minimum.
        ComposeCase{"X_TARGET typed -2147483648",
                    0,
                    0,
                    {{"EditXTarg1", "-2147483648"}},
                    "00 80 00 00",
                    {"EditXTarg1"}},
        ComposeCase{"X_TARGET typed 99999999999",
                    0,
                    0,
                    {{"EditXTarg1", "99999999999"}},
                    "00 80 00 00",
                    {"EditXTarg1"}},
        ComposeCase{"X_TARGET typed -", 0, 0, {{"EditXTarg1", "-"}}, "00 80 00 00", {"EditXTarg1"}},
        ComposeCase{
            "V_MIN typed 99999", 0, 2, {{"EditVMin1", "99999"}}, "04 00 07 FF", {"EditVMin1"}},
        ComposeCase{
            "A_MAX typed 99999", 0, 6, {{"EditAMax1", "99999"}}, "0C 00 07 FF", {"EditAMax1"}},
        ComposeCase{
            "V_TARGET typed -5000", 0, 4, {{"EditVTarg1", "-5000"}}, "08 00 08 00", {"EditVTarg1"}},
        ComposeCase{"P_DIV typed 99",
                    0,
                    8,
                    {{"EditPDiv1", "99"}},
                    "12 00 80 0D",
                    {"EditPMul1", "EditPDiv1"}},
        ComposeCase{"cover position and length",
                    kGlobal,
                    0,
                    {{"EditSPICP", "63"}, {"EditSPICL", "31"}},
                    "64 00 3F 1F",
                    {"EditSPICP", "EditSPICL"}},
        ComposeCase{
            "cover telegram", kGlobal, 1, {{"EditSPICT", "12AB0F"}}, "66 12 AB 0F", {"EditSPICT"}},
        ComposeCase{"cover telegram cut short",
                    kGlobal,
                    1,
                    {{"EditSPICT", "12AB"}},
                    "66 12 AB 00",
                    {"EditSPICT"}},
        ComposeCase{"get low/high word", kGlobal, 2, {}, "60 00 00 00", {}},
        ComposeCase{"global parameters",
                    kGlobal,
                    3,
                    {{"CbRefMux", "1"},
                     {"CbSPIContUpd", "1"},
                     {"CbSPICS", "1"},
                     {"CbCsCI", "1"},
                     {"EditClkDiv", "4"},
                     {"EditLSMD", "1"}},
                    "7E 11 04 85",
                    {"EditClkDiv", "EditLSMD", "CbSPICS", "CbSPICLK", "CbPoPH", "CbPoFD", "CbPoDAC",
                     "CbCsCI", "CbMot1rRef", "CbRefMux", "CbSPIContUpd"}}));

TEST_F(RegisterWindowTest, StartsOnMotor1WithItsTelegramAndTheOtherPagesUnentered) {
    EXPECT_EQ(window.windowTitle(), "VRX630 Register Set (Motor 1)");
    EXPECT_EQ(Boxes(0), "00 00 00 00");
    EXPECT_EQ(Boxes(1), "FF FF FF FF");
    EXPECT_EQ(Boxes(kGlobal), "FF FF FF FF");
    EXPECT_EQ(Find<TSpinEdit>("EditPMul1")->value(), 128);
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.IsShown());
    window.show();
    EXPECT_TRUE(window.IsShown());
    window.close();
    EXPECT_FALSE(window.IsShown());
}

TEST_F(RegisterWindowTest, PageChangeSetsTheCaptionAndReselectsThePageItem) {
    const std::pair<int, const char*> pages[] = {
        {1, "VRX630 Register Set (Motor 2)"},
        {2, "VRX630 Register Set (Motor 3)"},
        {kGlobal, "VRX630 Register Set (Global Parameters)"},
        {TFormAdvanced::kRamPage, "VRX630 Register Set (Configuration & Microstep RAM)"},
    };
    for (const auto& [page, caption] : pages) {
        ShowPage(page);
        EXPECT_EQ(window.windowTitle(), caption);
        EXPECT_EQ(window.ActivePage(), page);
    }
    EXPECT_EQ(Boxes(2), "40 00 00 00");
    // The telegram is the window's: the RAM page keeps the global page's.
    EXPECT_EQ(window.CurrentTelegram, (Telegram{0x64, 0, 0, 0}));
    Select(0, 12);
    ShowPage(1);
    ShowPage(0);
    EXPECT_EQ(Boxes(0), "1A 00 00 00");
}

TEST_F(RegisterWindowTest, AnInputOfAnotherItemLeavesTheDataBytes) {
    Select(0, 8);
    Enter("EditPDiv1", "3");
    Enter("EditVMin1", "77");
    EXPECT_EQ(Boxes(0), "12 00 80 03");
}

struct DecodeCase {
    int slot;
    uint8_t a1, a2, a3;
    std::vector<std::pair<const char*, const char*>> shown; // text, or "on"/"off" for an LED
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << "slot " << c.slot;
}

class DecodeTest : public RegisterWindowTest, public testing::WithParamInterface<DecodeCase> {};

TEST_P(DecodeTest, AnswersShowInTheActualValues) {
    const DecodeCase& c = GetParam();
    window.show();
    Answer(c.slot, c.a1, c.a2, c.a3);
    for (const auto& [name, expected] : c.shown) {
        if (auto* led = qobject_cast<TLedLittle*>(Find(name))) {
            EXPECT_EQ(led->LedColor(), QString(expected) == "on" ? lcCyan : lcDarkCyan) << name;
        } else {
            EXPECT_EQ(Text(name), expected) << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Slots, DecodeTest,
    testing::Values(
        DecodeCase{0, 0xFF, 0xFF, 0xFF, {{"StaticXTarg1", "-1"}}},
        DecodeCase{19, 0x00, 0x0F, 0xFF, {{"StaticVTarg2", "-1"}}},
        DecodeCase{37, 0x00, 0x08, 0x00, {{"StaticAActual3", "-2048"}}},
        DecodeCase{44, 0x80, 0x00, 0x00, {{"StaticXLatched3", "-8388608"}}},
        DecodeCase{8,
                   0x71,
                   0x27,
                   0xFF,
                   {{"StaticAgtat1", "7"},
                    {"StaticAleat1", "1"},
                    {"StaticV01", "2"},
                    {"StaticThres1", "2047"}}},
        DecodeCase{24, 0x00, 0xC8, 0x0D, {{"StaticPMul2", "200"}, {"StaticPDiv2", "13"}}},
        DecodeCase{40,
                   0x01,
                   0x0A,
                   0x03,
                   {{"StaticRefConf3", "1010"}, {"StaticRampMode3", "3"}, {"LedLP3", "on"}}},
        DecodeCase{
            11, 0x00, 0x81, 0x03, {{"StaticIMask1", "10000001"}, {"StaticIFlags1", "00000011"}}},
        DecodeCase{12,
                   0x00,
                   0xD5,
                   0x07,
                   {{"StaticPulsdiv1", "13"}, {"StaticRampdiv1", "5"}, {"StaticMStepres1", "7"}}},
        DecodeCase{45, 0xAB, 0xCD, 0xEF, {{"StaticSPILow", "ABCDEF"}}},
        DecodeCase{47, 0x00, 0x3F, 0x1F, {{"StaticSPICP", "63"}, {"StaticSPICL", "31"}}},
        DecodeCase{48, 0x12, 0xAB, 0x0F, {{"StaticSPICT", "12AB0F"}}},
        DecodeCase{49,
                   0x00,
                   0x00,
                   0x21,
                   {{"LedR1", "on"},
                    {"LedL1", "off"},
                    {"LedR2", "off"},
                    {"LedL2", "off"},
                    {"LedR3", "off"},
                    {"LedL3", "on"}}},
        DecodeCase{50,
                   0x31,
                   0x04,
                   0x85,
                   {{"StaticClkDiv", "4"},
                    {"StaticLSMD", "1"},
                    {"LedRefMux", "on"},
                    {"LedMot1rRef", "on"},
                    {"LedSPIContUpd", "on"},
                    {"LedCsCI", "on"},
                    {"LedSPICS", "on"},
                    {"LedSPICLK", "off"},
                    {"LedPoPH", "off"},
                    {"LedPoFD", "off"},
                    {"LedPoDAC", "off"}}}));

TEST_F(RegisterWindowTest, DecodersWriteWhileHiddenSingleValuesOnlyWhileShown) {
    Answer(8, 0x71, 0x27, 0xFF);
    Answer(0, 0x00, 0x00, 0x05);
    EXPECT_EQ(Text("StaticAgtat1"), "7");
    EXPECT_EQ(Text("StaticXTarg1"), "0");
}

TEST_F(RegisterWindowTest, CopyTakesTheActualValuesIntoTheInputs) {
    window.show();
    Answer(0, 0x00, 0x13, 0x88);
    Answer(10, 0x01, 0x05, 0x02);
    Answer(11, 0x00, 0x80, 0x01);
    Answer(50, 0x31, 0x04, 0x85);
    Answer(48, 0x12, 0xAB, 0x0F);
    Select(0, 9);
    QTest::mouseClick(Find<QPushButton>("BtnCopyMot1"), Qt::LeftButton);
    EXPECT_EQ(Find<TSpinEdit>("EditXTarg1")->value(), 5000);
    EXPECT_EQ(Find<TCheckedComboBinary>("CBRefConf1")->text(), "0101");
    EXPECT_EQ(Find<TSpinEdit>("EditRampMode1")->value(), 2);
    EXPECT_EQ(Boxes(0), "14 00 05 02"); // the telegram follows the copied inputs
    EXPECT_EQ(Find<TCheckedComboBinary>("CbIMask1")->text(), "10000000");
    EXPECT_EQ(Find<TCheckedComboBinary>("CbIFlags1")->text(), "00000001");

    Select(kGlobal, 3);
    QTest::mouseClick(Find<QPushButton>("BtnCopyGlobal"), Qt::LeftButton);
    EXPECT_EQ(Boxes(kGlobal), "7E 31 04 85");
    EXPECT_EQ(Find<QLineEdit>("EditSPICT")->text(), "12AB0F");
    // Motor 2 has only its starting values: all 0, P_MUL clamped to 128, no ticks.
    Enter("EditPMul2", "200");
    Enter("CbIMask2", "11111111");
    Enter("EditVTarg2", "-7");
    QTest::mouseClick(Find<QPushButton>("BtnCopyMot2"), Qt::LeftButton);
    EXPECT_EQ(Find<TSpinEdit>("EditPMul2")->value(), 128);
    EXPECT_EQ(Find<TCheckedComboBinary>("CbIMask2")->text(), "00000000");
    EXPECT_EQ(Find<TSpinEdit>("EditVTarg2")->value(), 0);
}

TEST_F(RegisterWindowTest, EveryControlCarriesItsCaptionAndHint) {
    EXPECT_EQ(Find<QGroupBox>("RGMot1")->toolTip(),
              "Choose a register to be changed here, then fill in the corresponding value.");
    EXPECT_EQ(Find<QGroupBox>("RGGlobalRegs")->toolTip(),
              "Choose a register to be changed here, and then fill in the corresponding value.");
    EXPECT_EQ(Find<QLabel>("StaticSPI12")->parentWidget()->toolTip(),
              "The necessary SPI telegramme to change the selected register is displayed here.");
    EXPECT_EQ(Find<QLabel>("StaticSPI13")->parentWidget()->toolTip(),
              "The necessary SPI telegram to change the selected register is displayed here.");
    EXPECT_EQ(Find<QPushButton>("BtnSendGlobal")->text(), "&Send SPI Telegram");
    EXPECT_EQ(Find<QPushButton>("BtnCopyMot3")->text(), "&Copy");
    EXPECT_NE(Find<TCheckedComboBinary>("CbRefConf2"), nullptr);
    EXPECT_EQ(Find<TSpinEdit>("EditVTarg3")->minimum(), -2047);
    EXPECT_EQ(Find<TSpinEdit>("EditVTarg2")->minimum(), -2048);
    QStringList items;
    for (auto* button : Find<QGroupBox>("RGGlobalRegs")->findChildren<QRadioButton*>()) {
        items << button->text();
    }
    EXPECT_EQ(items, (QStringList{"SPI_COVER_POS / SPI_COVER LEN", "SPI_COVER_TELEGRAM",
                                  "Get Low/High Word", "Stepper Motor Global Parameter Reg."}));
    EXPECT_EQ(Find<QGroupBox>("GrpRefSwitches")->title(), " Reference Switches ");
}

} // namespace
} // namespace vrx::test
