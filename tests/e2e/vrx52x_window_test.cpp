// The VRX52x window on its kit: thresholds sent on show, on a slider move and on close; the
// error-flag LEDs and load bars from the board's answers; no flag or load query once closed.
#include "driver_window_fixture.h"

#include "controls/led_little.h"
#include "sim/board_peripherals.h"

#include <QProgressBar>
#include <QSlider>

namespace vrx::test {
namespace {

class Vrx52xWindowTest : public DriverWindowTest {
protected:
    void SetUp() override {
        DriverWindowTest::SetUp();
        board = OpenSimulated("52x");
        ASSERT_NE(board, nullptr);
        board->With([](sim::SimulatedBoard& b) {
            b.Peripherals().SetErrorFlags(sim::Vrx529, 0xFF);
            b.Peripherals().SetErrorFlags(sim::Vrx526, 0x11);
            b.Peripherals().PinLoadValue(sim::Vrx529, 3);
            b.Peripherals().PinLoadValue(sim::Vrx526, 9);
        });
        WaitForPolling();
        board->ClearTrace();
        window = ShowKitWindow("FormVRX52x");
        ASSERT_NE(window, nullptr);
    }
    std::vector<Command> Thresholds() { return CommandsStartingWith(Wire(), 0x53); }
    void ExpectThresholds(const std::vector<Command>& expected) {
        ASSERT_TRUE(WaitFor([&] { return Thresholds().size() >= expected.size(); }));
        EXPECT_EQ(Thresholds(), expected);
    }
    QSlider* Slider(const char* chip) {
        return Find<QSlider>(QStringLiteral("StallSlider") + chip);
    }
    TLedLittleColor Led(const char* flag, const char* chip) {
        return Find<TLedLittle>(QStringLiteral("LED_%1_%2").arg(flag, chip))->LedColor();
    }
    int Bar(const char* chip) {
        return Find<QProgressBar>(QStringLiteral("StallBar") + chip)->value();
    }

    QWidget* window = nullptr;
};

TEST_F(Vrx52xWindowTest, ShowSendsTheThresholdsAndTheAnswersLightTheFlagsAndBars) {
    EXPECT_EQ(window->windowTitle(), "VRX526 / VRX529 LoadMeter & Error Flags");
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "fixed size";
    ExpectThresholds({{0x53, 1, 8}, {0x53, 0, 8}});
    ASSERT_TRUE(WaitFor([&] { return Led("OCHS", "526") == lcCyan && Bar("529") == 3; }));
    for (const char* flag : {"OCA", "OCB", "OLA", "OLB", "OCHS", "UV", "OTPW", "OT"}) {
        const bool lit = QByteArray(flag) == "OCA" || QByteArray(flag) == "OCHS";
        EXPECT_EQ(Led(flag, "526"), lit ? lcCyan : lcDarkCyan) << flag;
        EXPECT_EQ(Led(flag, "529"), lcCyan) << flag;
    }
    EXPECT_EQ(Bar("526"), 7) << "a load above 7 is a full bar";
    EXPECT_GT(CountOf(Wire(), {0x66}), 0u);
    EXPECT_GT(CountOf(Wire(), {0x73}), 0u);
}

TEST_F(Vrx52xWindowTest, SliderSendsAtOnceAndCloseSwitchesOffOnlyFromTheTop) {
    ExpectThresholds({{0x53, 1, 8}, {0x53, 0, 8}});
    Slider("529")->setValue(3);
    ExpectThresholds({{0x53, 1, 8}, {0x53, 0, 8}, {0x53, 0, 5}});

    // Closed with a threshold set: it stays on the chip, and the flags are no longer polled.
    ClickIn(window, "BtnClose");
    EXPECT_FALSE(window->isVisible());
    WaitForQuietLine();
    EXPECT_EQ(Thresholds().size(), 3u);
    board->ClearTrace();
    Pump(300);
    const std::vector<Command> idle = Wire();
    EXPECT_EQ(CountOf(idle, {0x66}) + CountOf(idle, {0x73}), 0u);
    EXPECT_GT(Frames(board->Trace().Bytes()).size(), 0u) << "polling goes on";

    // Shown again, moved back to the top and closed: both chips are switched off.
    board->ClearTrace();
    Click("BtnVRX640");
    Slider("529")->setValue(0);
    ClickIn(window, "BtnClose");
    ExpectThresholds({{0x53, 1, 8}, {0x53, 0, 5}, {0x53, 0, 8}, {0x53, 0, 0xFF}, {0x53, 1, 0xFF}});
    EXPECT_TRUE(Main().Link().PollingEnabled);
}

TEST_F(Vrx52xWindowTest, ClosingThePortClosesTheWindowAndEndsItsQueries) {
    ExpectThresholds({{0x53, 1, 8}, {0x53, 0, 8}});
    Click("BtnClose");
    EXPECT_FALSE(window->isVisible());
    ExpectThresholds({{0x53, 1, 8}, {0x53, 0, 8}, {0x53, 0, 0xFF}, {0x53, 1, 0xFF}});
    EXPECT_EQ(Main().Poll().Slot(kFirstQuerySlot).PageIndex, kPageNever);
    EXPECT_EQ(Main().Poll().Slot(kFirstQuerySlot + 1).PageIndex, kPageNever);
}

} // namespace
} // namespace vrx::test
