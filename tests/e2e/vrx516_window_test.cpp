// The VRX516 current window on its kit: the three "P" commands of Apply on the wire, with
// polling at rest around them, also for values typed out of range and for a silent board.
#include "driver_window_fixture.h"

#include "controls/spin_edit.h"
#include "link/board_link.h"

#include <QElapsedTimer>
#include <QLineEdit>

namespace vrx::test {
namespace {

class Vrx516WindowTest : public DriverWindowTest {
protected:
    void SetUp() override {
        DriverWindowTest::SetUp();
        board = OpenSimulated("516");
        ASSERT_NE(board, nullptr);
        window = ShowKitWindow("FormVRX516");
        ASSERT_NE(window, nullptr);
        WaitForPolling();
        board->ClearTrace();
    }
    QLineEdit* Field(int motor) {
        return Find<TSpinEdit>(QStringLiteral("EditMotor%1").arg(motor))->findChild<QLineEdit*>();
    }
    std::vector<Command> CurrentCommands() { return CommandsStartingWith(Wire(), 0x50); }
    // The three current commands went out back to back, with no poll between them.
    void ExpectApplied(const std::vector<Command>& expected) {
        ASSERT_TRUE(WaitFor([&] { return CurrentCommands().size() >= 3; }));
        EXPECT_EQ(CurrentCommands(), expected);
        const std::vector<Command> all = Wire();
        EXPECT_NE(std::search(all.begin(), all.end(), expected.begin(), expected.end()), all.end())
            << "a poll went out between the current commands";
    }

    QWidget* window = nullptr;
};

TEST_F(Vrx516WindowTest, ApplySendsTheThreeCurrentsBetweenPolls) {
    EXPECT_EQ(window->windowTitle(), "VRX516 Parameters");
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "fixed size";
    EXPECT_EQ(Text("LblMotor2"), "Motor &2 (mA):");
    EXPECT_EQ(Find<TSpinEdit>("EditMotor1")->value(), 750);
    Find<TSpinEdit>("EditMotor2")->setValue(1350);
    Find<TSpinEdit>("EditMotor3")->setValue(50);
    Click("BtnApply");
    ExpectApplied({{0x50, 0, 0x80}, {0x50, 1, 230}, {0x50, 2, 8}});
    EXPECT_TRUE(Main().Link().PollingEnabled);
    ASSERT_TRUE(WaitFor([&] { return Frames(board->Trace().Bytes()).size() >= 3; }))
        << "polling goes on";

    // Polling that was off before Apply stays off.
    WaitForQuietLine();
    Main().Link().PollingEnabled = false;
    Click("BtnApply");
    EXPECT_FALSE(Main().Link().PollingEnabled);
    Main().Link().PollingEnabled = true;
}

TEST_F(Vrx516WindowTest, AcceleratorWithTypedValuesOutOfRangeSendsThemClamped) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    Field(2)->setText("-");
    Field(3)->setText("");
    QLineEdit* first = Field(1);
    first->setFocus();
    first->selectAll();
    QTest::keyClicks(first, "99999"); // still in the field: not clamped yet
    // Through the window, as the keyboard delivers it, so the mnemonic is looked up.
    QTest::keyClick(window->windowHandle(), Qt::Key_A, Qt::AltModifier);
    ExpectApplied({{0x50, 0, 0xFF}, {0x50, 1, 0}, {0x50, 2, 0}});
    EXPECT_EQ(first->text(), "99999") << "the field kept its typed text";
}

TEST_F(Vrx516WindowTest, ASilentBoardEndsTheWaitAndPollingResumes) {
    sim::LineOptions silent;
    silent.silent = true;
    board->SetOptions(silent);
    // A poll goes out that will never be answered.
    ASSERT_TRUE(WaitFor([&] { return !Main().Link().AnswerReceived; }));
    QElapsedTimer clock;
    clock.start();
    Click("BtnApply");
    EXPECT_LT(clock.elapsed(), 2 * qint64(BoardLink::kReplyTimeoutMs)) << "no wait without bound";
    EXPECT_EQ(Text("StaticInfo1"), "The board does not respond.")
        << "Apply waited for the poll in flight";
    EXPECT_TRUE(Main().Link().PollingEnabled);
    ExpectApplied({{0x50, 0, 0x80}, {0x50, 1, 0x80}, {0x50, 2, 0x80}});
}

} // namespace
} // namespace vrx::test
