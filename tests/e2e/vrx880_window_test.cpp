// The VRX880 window on its kit: mode controls, voltage and potentiometer from the board's
// answers, nothing sent by the controls, and no query once the window is closed, even when the
// mode answer comes in after the close.
#include "driver_window_fixture.h"

#include <QCheckBox>
#include <QRadioButton>

namespace vrx::test {
namespace {

class Vrx880WindowTest : public DriverWindowTest {
protected:
    void SetUp() override {
        DriverWindowTest::SetUp();
        board = OpenSimulated("880");
        ASSERT_NE(board, nullptr);
        board->With([](sim::SimulatedBoard& b) {
            b.Peripherals().SetModeByte(0x00);
            b.Peripherals().PinVoltage(1023);
            b.Peripherals().PinPotentiometer(0x0200);
        });
        window = ShowKitWindow("FormVRX880");
        ASSERT_NE(window, nullptr);
    }
    void SetMode(uint8_t mode) {
        board->With([mode](sim::SimulatedBoard& b) { b.Peripherals().SetModeByte(mode); });
    }
    bool Checked(const char* name) { return Find<QAbstractButton>(name)->isChecked(); }
    // Enable, shaft, three-phase, two-phase, output, as shown.
    std::array<bool, 5> Mode() {
        return {Checked("CheckEnable880"), Checked("CheckShaft880"), Checked("RBModeUVW"),
                Checked("RBModeXY"), Checked("CheckGPO")};
    }
    size_t Queries(const std::vector<Command>& wire) {
        return CountOf(wire, {0x6D}) + CountOf(wire, {0x76}) + CountOf(wire, {0x70});
    }

    QWidget* window = nullptr;
};

struct ModeCase {
    uint8_t mode;
    std::array<bool, 5> shown;
};

TEST_F(Vrx880WindowTest, ShowsTheModeVoltageAndPotentiometerOfTheBoard) {
    EXPECT_EQ(window->windowTitle(), "VRX880 Registers");
    ASSERT_TRUE(WaitFor([&] { return Text("StaticVoltage") == "38.0V"; }));
    ASSERT_TRUE(WaitFor([&] { return Text("StaticPoti") == "512"; }));
    const ModeCase cases[] = {{0x00, {true, false, false, true, false}},
                              {0x0F, {false, true, true, false, true}},
                              {0xF1, {false, false, false, true, false}},
                              {0x06, {true, true, true, false, false}}};
    for (const ModeCase& c : cases) {
        SetMode(c.mode);
        EXPECT_TRUE(WaitFor([&] { return Mode() == c.shown; })) << int(c.mode);
    }

    // A click changes only the screen; the next answer shows the board's state again.
    board->With([](sim::SimulatedBoard& b) { b.Peripherals().PinVoltage(0x03 | 0xFF << 8); });
    Find<QCheckBox>("CheckGPO")->click();
    EXPECT_TRUE(Checked("CheckGPO"));
    ASSERT_TRUE(WaitFor([&] { return !Checked("CheckGPO"); }));
    ASSERT_TRUE(WaitFor([&] { return Text("StaticVoltage") == "2425.0V"; })); // raw 65283
    for (const Command& c : Wire()) {
        EXPECT_TRUE(c.size() == 5 ||
                    (c.size() == 1 && (c[0] == 0x6D || c[0] == 0x76 || c[0] == 0x70 ||
                                       c[0] == 0x00 || c[0] == 0xFF)))
            << "only polls, queries and the detection went out";
    }
}

TEST_F(Vrx880WindowTest, AModeAnswerAfterCloseDoesNotBringTheQueriesBack) {
    const std::array<bool, 5> mode0F = {false, true, true, false, true};
    SetMode(0x0F);
    ASSERT_TRUE(WaitFor([&] { return Mode() == mode0F; }));
    SetMode(0x00);
    sim::LineOptions late;
    late.delayMs = 150;
    board->SetOptions(late);
    // Close while a mode query for the new mode is in flight; its answer arrives afterwards.
    ASSERT_TRUE(WaitFor([&] { return Main().Poll().PollIndex != 53; }));
    ASSERT_TRUE(
        WaitFor([&] { return Main().Poll().PollIndex == 53 && !Main().Link().AnswerReceived; }));
    window->close();
    EXPECT_EQ(Mode(), mode0F);
    WaitForQuietLine();
    EXPECT_NE(Mode(), mode0F) << "the late answer was shown";
    board->SetOptions({});
    board->ClearTrace();
    Pump(400);
    EXPECT_EQ(Queries(Wire()), 0u);
    EXPECT_GT(Frames(board->Trace().Bytes()).size(), 0u) << "polling goes on";

    // Shown again, the queries come back.
    Click("BtnVRX640");
    EXPECT_TRUE(WaitFor([&] { return Queries(Wire()) > 0; }));
}

} // namespace
} // namespace vrx::test
