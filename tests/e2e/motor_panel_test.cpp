// The motor panels and the polling cycle against the simulated board: the telegrams of Go and
// Stop on the wire, the warning before a too small acceleration, the polled displays and LEDs.
#include "program_fixture.h"
#include "wire_commands.h"

#include "app/form_warning.h"
#include "chip/ramp_calc.h"
#include "chip/register_map.h"
#include "controls/led_little.h"
#include "controls/spin_edit.h"

#include <QLineEdit>
#include <QWindow>

namespace vrx::test {
namespace {

using Frame = std::array<uint8_t, 4>;

// Answers the warning dialog when it comes up: records the number text, ticks the notify box
// if asked, and presses Continue or Abort.
class WarningAnswerer {
public:
    WarningAnswerer(bool cont, bool notifyNoMore) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this, cont, notifyNoMore] {
            auto* dialog = qobject_cast<TFormWarning*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                return;
            }
            numbers.push_back(dialog->findChild<QLabel*>("LblNumber")->text());
            if (notifyNoMore) {
                dialog->findChild<QCheckBox*>("CheckNotify")->setChecked(true);
            }
            QTest::mouseClick(dialog->findChild<QPushButton*>(cont ? "BtnCont" : "BtnAbort"),
                              Qt::LeftButton);
        });
        timer_.start();
    }
    QStringList numbers;

private:
    QTimer timer_;
};

class MotorPanelTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        TFormWarning::ExclamationBeep = [] {};
        board = OpenSimulated("plain");
        ASSERT_NE(board, nullptr);
    }

    void SetInput(const QString& name, int value) { Find<TSpinEdit>(name)->setValue(value); }
    void SetRampMode(int motor, int mode) {
        Find<QComboBox>(QStringLiteral("CbRampMode%1").arg(motor))->setCurrentIndex(mode);
    }
    // Writes a register of the simulated chip as the program would.
    void WriteChip(Frame t) {
        board->With([&](sim::SimulatedBoard& b) {
            b.Firmware().Feed(std::vector<uint8_t>{0x23, t[0], t[1], t[2], t[3]});
        });
    }
    // The frames since the port was opened, from the first one whose first byte is `first`.
    std::vector<Frame> FramesFrom(uint8_t first) {
        const std::vector<Frame> all = Frames(board->Trace().Bytes());
        auto it =
            std::find_if(all.begin(), all.end(), [&](const Frame& f) { return f[0] == first; });
        return {it, all.end()};
    }
    // Telegram frames of the sequence: the polls in between are left out.
    static std::vector<Frame> WithoutPolls(std::vector<Frame> frames) {
        std::erase_if(frames, [](const Frame& f) {
            return f[1] == 0 && f[2] == 0 && f[3] == 0 &&
                   (f[0] == 0x01 || ((f[0] & 0x9F) == 0x03) || ((f[0] & 0x9F) == 0x09) ||
                    ((f[0] & 0x9F) == 0x0B) || ((f[0] & 0x9F) == 0x0F));
        });
        return frames;
    }
    void WaitForPolling() {
        ASSERT_TRUE(
            WaitFor([&] { return Main().Link().PollingEnabled && Main().Link().AnswerReceived; }));
    }

    sim::ServedBoard* board = nullptr;
};

TEST_F(MotorPanelTest, GoInHoldWritesTheActualVelocity) {
    SetRampMode(1, 3);
    SetInput("EditVActual1", -5);
    Click("BtnGo1");
    WaitForPolling();
    const auto frames = WithoutPolls(FramesFrom(0x15));
    ASSERT_GE(frames.size(), 3u);
    EXPECT_EQ(frames[0], (Frame{0x15, 0, 0, 0}));
    EXPECT_EQ(frames[1], (Frame{0x14, 0, 0, 3}));
    EXPECT_EQ(frames[2], (Frame{0x0A, 0x00, 0xFF, 0xFB}));
    EXPECT_EQ(frames.size(), 3u);
}

TEST_F(MotorPanelTest, GoInVelocityWritesTheMagnitudeAsVmaxAndTheTargetVelocity) {
    SetRampMode(2, 2);
    SetInput("EditVTarget2", -100);
    SetInput("EditAMax2", 300);
    Click("BtnGo2");
    WaitForPolling();
    const auto frames = WithoutPolls(FramesFrom(0x35));
    const std::vector<Frame> expected = {{0x35, 0, 0, 0},
                                         {0x34, 0, 0, 2},
                                         {0x2C, 0, 0x01, 0x2C},
                                         {0x26, 0, 0, 100},
                                         {0x28, 0, 0xFF, 0x9C}};
    EXPECT_EQ(frames, expected);
}

TEST_F(MotorPanelTest, RampModeWritesAreKeptAboveTheModeBits) {
    WriteChip({0x14, 0x00, 0x0B, 0x01}); // REF_CONF flags set, SOFTMODE
    SetRampMode(1, 3);
    Click("BtnGo1");
    WaitForPolling();
    const auto frames = WithoutPolls(FramesFrom(0x15));
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames[1], (Frame{0x14, 0x00, 0x0B, 3}));
}

struct RampCase {
    const char* name;
    bool cont;
    bool notify;
};

class RampWarningTest : public MotorPanelTest, public testing::WithParamInterface<RampCase> {};

TEST_P(RampWarningTest, TooSmallAccelerationAsksFirst) {
    WriteChip({0x58, 0x00, 0x37, 0x00}); // motor 3: PULSDIV 3, RAMPDIV 7: minimum A_MAX 8
    board->ClearTrace();                 // the dividers read after the detection
    SetInput("EditAMax3", 5);
    SetInput("EditVMax3", 1000);
    SetInput("EditVMin3", 1);
    SetInput("EditXTarget3", -20);
    WarningAnswerer answer(GetParam().cont, GetParam().notify);
    Click("BtnGo3");
    WaitForPolling();
    EXPECT_EQ(answer.numbers, QStringList{"8,"});
    const auto frames = WithoutPolls(FramesFrom(0x59));
    std::vector<Frame> expected = {{0x59, 0, 0, 0}};
    const PMulPDiv pm = CalcPMulPDiv(5, 7, 3);
    if (GetParam().cont) {
        expected.push_back({0x52, 0, uint8_t(pm.pMul), uint8_t(pm.pDiv)});
    }
    expected.push_back({0x55, 0, 0, 0});
    expected.push_back({0x54, 0, 0, 0});
    if (GetParam().cont) {
        expected.push_back({0x4C, 0, 0, 5});
        expected.push_back({0x46, 0, 0x03, 0xE8});
        expected.push_back({0x44, 0, 0, 1});
        expected.push_back({0x40, 0xFF, 0xFF, 0xEC});
    }
    EXPECT_EQ(frames, expected);

    // A second start: asked again unless the box was ticked.
    Click("BtnGo3");
    WaitForPolling();
    EXPECT_EQ(answer.numbers.size(), GetParam().notify ? 1 : 2);
    if (GetParam().notify) {
        // Not asked: goes on as if Continue had been pressed.
        const auto again = WithoutPolls(FramesFrom(0x59));
        EXPECT_EQ(std::count(again.begin(), again.end(), Frame{0x4C, 0, 0, 5}),
                  GetParam().cont ? 2 : 1);
    }
}

// The warning is owned by the main window, so it stays above it; losing the port while it asks
// turns the window to waiting for the port, without a message, leaves the question up, and the
// answer then sends nothing.
TEST_F(MotorPanelTest, TheWarningStaysAboveTheMainWindowWhenThePortIsLostBehindIt) {
    WriteChip({0x58, 0x00, 0x37, 0x00}); // motor 3: minimum A_MAX 8
    SetInput("EditAMax3", 5);
    int stage = 0;
    bool shownAfterLoss = false;
    QWindow* owner = nullptr;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<TFormWarning*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        if (stage == 0) {
            board->Stop(); // the far end hangs up behind the dialog
            stage = 1;
        } else if (stage == 1 && Text("StaticInfo1") == "The port is gone.") {
            shownAfterLoss = dialog->isVisible();
            owner = dialog->windowHandle()->transientParent();
            stage = 2;
            QTest::mouseClick(dialog->findChild<QPushButton*>("BtnCont"), Qt::LeftButton);
        }
    });
    timer.start(5);
    Click("BtnGo3");
    EXPECT_EQ(stage, 2);
    EXPECT_TRUE(shownAfterLoss);
    EXPECT_EQ(owner, Main().windowHandle());
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join("|").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Answers, RampWarningTest,
                         testing::Values(RampCase{"Continue", true, false},
                                         RampCase{"Abort", false, false},
                                         RampCase{"AbortButNotifyNoMore", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MotorPanelTest, StopWritesVelocityModeAndZeroVelocities) {
    WriteChip({0x54, 0x00, 0x01, 0x00});
    Click("BtnStop3");
    WaitForPolling();
    const std::vector<Frame> expected = {
        {0x55, 0, 0, 0}, {0x54, 0, 0x01, 2}, {0x48, 0, 0, 0}, {0x4A, 0, 0, 0}};
    EXPECT_EQ(WithoutPolls(FramesFrom(0x55)), expected);
}

TEST_F(MotorPanelTest, AllStopStopsTheMotorsInOrder) {
    Click("BtnStopAll");
    WaitForPolling();
    std::vector<uint8_t> firsts;
    for (const Frame& f : WithoutPolls(FramesFrom(0x15))) {
        firsts.push_back(f[0]);
    }
    EXPECT_EQ(firsts, (std::vector<uint8_t>{0x15, 0x14, 0x08, 0x0A, 0x35, 0x34, 0x28, 0x2A, 0x55,
                                            0x54, 0x48, 0x4A}));
}

TEST_F(MotorPanelTest, TheAlwaysPolledCycleOnTheWire) {
    ASSERT_TRUE(WaitFor([&] { return board->Trace().Size() >= 400; }));
    const auto frames = FramesFrom(0x03);
    ASSERT_GE(frames.size(), 36u);
    const uint8_t cycle[12] = {0x03, 0x09, 0x0B, 0x0F, 0x23, 0x29,
                               0x2B, 0x2F, 0x43, 0x49, 0x4B, 0x4F};
    for (size_t i = 0; i < 36; ++i) {
        EXPECT_EQ(frames[i], (Frame{cycle[i % 12], 0, 0, 0})) << i;
    }
    // The first poll after the identification is slot 0, also when the dividers' reads came
    // before it.
    auto all = Frames(board->Trace().Bytes());
    std::erase_if(all, [](const Frame& f) { return f[0] == 0x19 || f[0] == 0x39 || f[0] == 0x59; });
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all[0], (Frame{0x01, 0, 0, 0}));
}

TEST_F(MotorPanelTest, PolledValuesAreShownSignExtended) {
    WriteChip({0x08, 0x00, 0x0F, 0xFF}); // V_TARGET of motor 1 = -1
    ASSERT_TRUE(WaitFor([&] { return Text("StaticVTarget1") == "-1"; }));
    EXPECT_EQ(Text("StaticXAct1"), "0");
    EXPECT_EQ(Find<TLedLittle>("LedXReached1")->LedColor(), lcCyan);
    EXPECT_EQ(Find<TLedLittle>("LedInterrupt")->LedColor(), lcDarkCyan);
}

struct EnableCase {
    int mode;
    bool aMax, vMax, vMin, xTarget, vTarget, vActual;
};

TEST_F(MotorPanelTest, RampModeEnablesItsInputs) {
    for (const EnableCase& c : {EnableCase{0, true, true, true, true, false, false},
                                EnableCase{1, true, true, true, true, false, false},
                                EnableCase{2, true, false, false, false, true, false},
                                EnableCase{3, false, false, false, false, false, true}}) {
        SetRampMode(2, c.mode);
        const std::pair<const char*, bool> expected[] = {
            {"AMax2", c.aMax},       {"VMax2", c.vMax},       {"VMin2", c.vMin},
            {"XTarget2", c.xTarget}, {"VTarget2", c.vTarget}, {"VActual2", c.vActual}};
        for (const auto& [name, on] : expected) {
            EXPECT_EQ(Find(QStringLiteral("Edit") + name)->isEnabled(), on) << name << c.mode;
            EXPECT_EQ(Find(QStringLiteral("Lbl") + name)->isEnabled(), on) << name << c.mode;
        }
        EXPECT_TRUE(Find("EditVMax1")->isEnabled()) << "other motors keep their state";
    }
}

TEST_F(MotorPanelTest, ARampMoveIsFollowedAndArrives) {
    // PULSDIV 7, RAMPDIV 7: the move takes 3.3 s, long enough for the displays to follow it
    // (at the reset dividers it is over in 26 ms).
    board->With(
        [](sim::SimulatedBoard& b) { b.Model().Motor(0).Write(MotorReg::Dividers, 0x7700); });
    SetInput("EditXTarget1", 5000);
    SetInput("EditVMax1", 1000);
    SetInput("EditAMax1", 100);
    Click("BtnGo1");
    QStringList seen;
    ASSERT_TRUE(WaitFor(
        [&] {
            const QString x = Text("StaticXAct1");
            if (seen.isEmpty() || seen.last() != x) {
                seen << x;
            }
            return x == "5000" && Find<TLedLittle>("LedXReached1")->LedColor() == lcCyan;
        },
        20000));
    EXPECT_GT(seen.size(), 5) << "the display follows the move";
    EXPECT_TRUE(WaitFor([&] { return Text("StaticVAct1") == "0"; }));
}

TEST_F(MotorPanelTest, StopWhileGoWaitsOnASilentBoardPutsOneCommandOnTheLineAtATime) {
    SetRampMode(1, 3);
    SetInput("EditVActual1", 7);
    WaitForPolling();
    sim::LineOptions silent;
    silent.silent = true;
    board->SetOptions(silent);
    board->ClearTrace();
    size_t framesWhenStopPressed = 0;
    size_t framesLater = 0;
    QTimer::singleShot(300, [&] {
        framesWhenStopPressed = Frames(board->Trace().Bytes()).size();
        Click("BtnStop1");
    });
    QTimer::singleShot(800, [&] {
        framesLater = Frames(board->Trace().Bytes()).size();
        board->SetOptions({}); // the board answers again
    });
    Click("BtnGo1"); // returns when the Go sequence, with the Stop inside it, is over
    WaitForPolling();
    EXPECT_EQ(framesWhenStopPressed, framesLater) << "Stop sent while Go's command was in flight";
    std::vector<uint8_t> firsts;
    for (const Frame& f : WithoutPolls(Frames(board->Trace().Bytes()))) {
        firsts.push_back(f[0]);
    }
    // Go's first read timed out, which ends Go; Stop, pressed meanwhile, ran whole after it.
    const std::vector<uint8_t> expected = {0x15, 0x15, 0x14, 0x08, 0x0A};
    EXPECT_EQ(firsts, expected);
    ASSERT_TRUE(WaitFor([&] { return Text("StaticInfo1") == "The board is active."; }));
}

TEST_F(MotorPanelTest, ClosingTheProgramWhileGoWaitsEndsCleanly) {
    sim::LineOptions silent;
    silent.silent = true;
    board->SetOptions(silent);
    bool closed = false;
    QTimer::singleShot(100, [&] {
        Main().close();
        closed = true;
    });
    Click("BtnGo1");
    EXPECT_TRUE(closed);
    EXPECT_FALSE(Main().SerialPort().IsOpen());
}

// Ticked, the next poll leaves as soon as the board has answered: more polls than the 10 ms
// tick allows, still one command at a time, and a Go in the middle goes out whole.
TEST_F(MotorPanelTest, FastPollingPollsAsFastAsTheBoardAnswersOneCommandAtATime) {
    // The board answers at once here, so the tick is all that paces the polls.
    const auto pollsIn = [&](int ms) {
        board->ClearTrace();
        Pump(ms);
        return Frames(board->Trace().Bytes()).size();
    };
    EXPECT_LE(pollsIn(1000), 102u) << "one poll per 10 ms tick at most";
    Find<QCheckBox>("CheckFastPoll")->setChecked(true);
    EXPECT_GT(pollsIn(1000), 150u) << "more than the tick allows";

    board->ClearTrace();
    SetRampMode(1, 3);
    SetInput("EditVActual1", -5);
    Click("BtnGo1");
    Pump(200);
    const auto frames = WithoutPolls(FramesFrom(0x15));
    EXPECT_EQ(frames,
              (std::vector<Frame>{{0x15, 0, 0, 0}, {0x14, 0, 0, 3}, {0x0A, 0, 0xFF, 0xFB}}));
    const auto onTop = CommandsOnTopOfAnother(board->Received(), board->SentTrace().Entries(),
                                              BoardLink::kReplyTimeoutMs);
    EXPECT_TRUE(onTop.empty()) << onTop.front();
}

struct TypedVelocityCase {
    const char* typed;
    Frame vMax;
    Frame vTarget;
};

void PrintTo(const TypedVelocityCase& c, std::ostream* os) {
    *os << '"' << c.typed << '"';
}

class TypedVelocityTest : public MotorPanelTest,
                          public testing::WithParamInterface<TypedVelocityCase> {};

// A velocity typed past its range and sent by the accelerator, the field not yet left, goes out
// clamped: V_MAX takes 11 bits and V_TARGET 12, so a wider value would wrap and reverse the motor.
TEST_P(TypedVelocityTest, AllGoByItsAcceleratorSendsTheClampedVelocity) {
    SetRampMode(1, 2);
    SetRampMode(2, 3); // motors 2 and 3 hold: no question about their acceleration
    SetRampMode(3, 3);
    Main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Main()));
    auto* edit = Find<TSpinEdit>("EditVTarget1");
    edit->setFocus();
    edit->findChild<QLineEdit*>()->setText(QString::fromLatin1(GetParam().typed));
    // Through the window, as the keyboard delivers it, so the mnemonic is looked up; the
    // button clicks itself a moment later.
    QTest::keyClick(Main().windowHandle(), Qt::Key_A, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([&] {
        const auto frames = WithoutPolls(FramesFrom(0x15));
        return std::find(frames.begin(), frames.end(), GetParam().vTarget) != frames.end();
    }));
    const auto frames = WithoutPolls(FramesFrom(0x15));
    EXPECT_NE(std::find(frames.begin(), frames.end(), GetParam().vMax), frames.end());
    EXPECT_EQ(edit->findChild<QLineEdit*>()->text(), QString::fromLatin1(GetParam().typed));
}

INSTANTIATE_TEST_SUITE_P(
    Typed, TypedVelocityTest,
    testing::Values(TypedVelocityCase{"3000", {0x06, 0, 0x07, 0xFF}, {0x08, 0, 0x07, 0xFF}},
                    TypedVelocityCase{"-3000", {0x06, 0, 0x07, 0xFF}, {0x08, 0, 0xF8, 0x01}},
                    // no number of the field: its minimum, -2047
                    TypedVelocityCase{
                        "-2147483648", {0x06, 0, 0x07, 0xFF}, {0x08, 0, 0xF8, 0x01}}));

} // namespace
} // namespace vrx::test
