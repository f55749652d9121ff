// The register window against the simulated board: a register written by hand goes on the wire
// and comes back in the actual values; the page on top decides which registers are polled.
#include "program_fixture.h"

#include "controls/spin_edit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QTabWidget>

#include <algorithm>
#include <set>

namespace vrx::test {
namespace {

using Frame = std::array<uint8_t, 4>;

class RegisterWindowE2E : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        board = OpenSimulated("plain");
        ASSERT_NE(board, nullptr);
        Click("BtnCmd630");
        ASSERT_TRUE(program->registers.IsShown());
    }
    template <class T = QWidget> T* InWindow(const QString& name) {
        T* widget = program->registers.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    void ShowPage(int page) { InWindow<QTabWidget>("PageControl")->setCurrentIndex(page); }
    bool Polling() { return Main().Link().PollingEnabled && Main().Link().AnswerReceived; }
    // The first bytes of the reads among the frames on the wire since the trace was cleared.
    std::set<uint8_t> ReadsOnWire() {
        std::set<uint8_t> reads;
        for (const Frame& f : Frames(board->Trace().Bytes())) {
            if (f[0] & 1) {
                reads.insert(f[0]);
            }
        }
        return reads;
    }

    sim::ServedBoard* board = nullptr;
};

TEST_F(RegisterWindowE2E, AMaxWrittenByHandReachesTheChipAndComesBackInTheActualValues) {
    ShowPage(1);
    InWindow<QGroupBox>("RGMot2")->findChildren<QRadioButton*>().at(6)->setChecked(true);
    InWindow<TSpinEdit>("EditAMax2")->setValue(1000);
    board->ClearTrace();
    QTest::mouseClick(InWindow<QPushButton>("BtnSendMot2"), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return Polling(); }));
    const auto frames = Frames(board->Trace().Bytes());
    EXPECT_NE(std::find(frames.begin(), frames.end(), Frame{0x2C, 0x00, 0x03, 0xE8}), frames.end());
    EXPECT_EQ(board->With([](sim::SimulatedBoard& b) { return b.Model().Motor(1).AMax(); }), 1000);

    EXPECT_TRUE(WaitFor([&] { return InWindow<QLabel>("StaticAMax2")->text() == "1000"; }));
    InWindow<TSpinEdit>("EditAMax2")->setValue(5);
    QTest::mouseClick(InWindow<QPushButton>("BtnCopyMot2"), Qt::LeftButton);
    EXPECT_EQ(InWindow<TSpinEdit>("EditAMax2")->value(), 1000);
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST_F(RegisterWindowE2E, OnlyTheRegistersOfThePageOnTopArePolledWhileTheWindowIsShown) {
    const std::set<uint8_t> global = {0x61, 0x63, 0x65, 0x67, 0x7D, 0x7F};
    ShowPage(3);
    board->ClearTrace();
    ASSERT_TRUE(WaitFor([&] { return std::ranges::includes(ReadsOnWire(), global); }));
    EXPECT_FALSE(ReadsOnWire().contains(0x05)); // V_MIN of motor 1 belongs to its page

    program->registers.close();
    ASSERT_TRUE(WaitFor([&] { return Polling(); }));
    board->ClearTrace();
    Pump(600);
    const std::set<uint8_t> reads = ReadsOnWire();
    EXPECT_TRUE(reads.contains(0x03)); // the always-polled registers go on
    for (uint8_t read : global) {
        EXPECT_FALSE(reads.contains(read)) << int(read);
    }
}

TEST_F(RegisterWindowE2E, ASendToASilentBoardEndsAfterTheTimeoutAndRestoresPolling) {
    sim::LineOptions silent = board->Options();
    silent.silent = true;
    board->SetOptions(silent);
    QTest::mouseClick(InWindow<QPushButton>("BtnSendMot1"), Qt::LeftButton);
    EXPECT_TRUE(Main().Link().PollingEnabled);
    EXPECT_EQ(Text("StaticInfo1"), "The board does not respond.");
    EXPECT_TRUE(messages.texts.isEmpty());
}

// Dividers written here convert every velocity of the motor, in both windows, and the motor
// runs at the rate shown: V 1000 at PULSDIV 7 and 16 MHz is 1,907 steps/s.
TEST_F(RegisterWindowE2E, DividersWrittenByHandConvertTheVelocitiesAndTheMotorRunsAtTheRateShown) {
    const auto units = [&](const QString& name) { return Text(QStringLiteral("Units") + name); };
    Find<TSpinEdit>("EditVTarget1")->setValue(1000);
    EXPECT_EQ(units("EditVTarget1"), "244,141 steps/s"); // the dividers read after detection: 0/0

    ShowPage(0);
    InWindow<QGroupBox>("RGMot1")->findChildren<QRadioButton*>().at(11)->setChecked(true);
    InWindow<TSpinEdit>("EditPulsdiv1")->setValue(7);
    InWindow<TSpinEdit>("EditRampdiv1")->setValue(7);
    QTest::mouseClick(InWindow<QPushButton>("BtnSendMot1"), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return Polling(); }));
    EXPECT_EQ(units("EditVTarget1"), "1,907 steps/s");

    Find<QComboBox>("CbRampMode1")->setCurrentIndex(RampModeVelocity);
    Find<TSpinEdit>("EditAMax1")->setValue(1000);
    EXPECT_EQ(units("EditAMax1"), "29,104 steps/s\u00B2");
    Click("BtnGo1");
    ASSERT_TRUE(WaitFor([&] { return Text("StaticVAct1") == "1000"; }));
    EXPECT_TRUE(WaitFor([&] { return units("StaticVAct1") == "1,907 steps/s"; }));
    EXPECT_TRUE(
        WaitFor([&] { return InWindow<QLabel>("UnitsStaticVAct1")->text() == "1,907 steps/s"; }));

    // X_ACTUAL over a second of the board's own time.
    const auto sample = [&] {
        return board->With([](sim::SimulatedBoard& b) {
            return std::pair(b.Model().ElapsedMs(), b.Model().Motor(0).XActual());
        });
    };
    const auto [startMs, startX] = sample();
    Pump(1000);
    const auto [endMs, endX] = sample();
    ASSERT_GT(endMs - startMs, 500);
    const double stepsPerSecond = double(endX - startX) * 1000.0 / double(endMs - startMs);
    EXPECT_NEAR(stepsPerSecond, 1907.35, 0.02 * 1907.35);

    // The board clock converts anew; unticked, the values go and the raw ones stay.
    Find<TSpinEdit>("EditClockMHz")->setValue(32);
    EXPECT_EQ(units("StaticVAct1"), "3,815 steps/s");
    Find<QCheckBox>("ShowUnits")->setChecked(false);
    EXPECT_TRUE(Find("UnitsStaticVAct1")->isHidden());
    EXPECT_TRUE(InWindow("UnitsStaticVAct1")->isHidden());
    EXPECT_EQ(Text("StaticVAct1"), "1000");
    Click("BtnStop1");
}

// A V_MAX read with all twelve telegram bits set shows as it came, and means the eleven bits the
// chip keeps: 2047, at dividers 0/0 and 16 MHz 499,756 steps/s.
TEST_F(RegisterWindowE2E, AValueConvertsByTheBitsTheChipHolds) {
    board->With([](sim::SimulatedBoard& b) { b.Model().WriteRegister(0, 3, 0xFFF); });
    ShowPage(0);
    ASSERT_TRUE(WaitFor([&] { return InWindow<QLabel>("StaticVMax1")->text() == "4095"; }));
    EXPECT_TRUE(
        WaitFor([&] { return InWindow<QLabel>("UnitsStaticVMax1")->text() == "499,756 steps/s"; }));
}

} // namespace
} // namespace vrx::test
