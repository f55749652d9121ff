// The register window against the simulated board: a register written by hand goes on the wire
// and comes back in the actual values; the page on top decides which registers are polled.
#include "program_fixture.h"

#include "controls/spin_edit.h"

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

} // namespace
} // namespace vrx::test
