// The RAM page against the simulated board: the word telegrams of a read, a write and a wave
// table written at once, the manual telegram, and a board that falls silent during a read.
#include "program_fixture.h"

#include "chip/ram_table.h"
#include "chip/wave_shape.h"
#include "registers/ram_page.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QTabWidget>

#include <atomic>

namespace vrx::test {
namespace {

using Frame = std::array<uint8_t, 4>;

class RamPageE2E : public ProgramTest {
protected:
    void OpenWindow() {
        Click("BtnCmd630");
        program->registers.findChild<QTabWidget*>("PageControl")->setCurrentIndex(4);
        page = program->registers.findChild<RamPage*>("TabRAM");
        ASSERT_NE(page, nullptr);
    }
    void Press(const char* name) {
        QTest::mouseClick(program->registers.findChild<QPushButton*>(name), Qt::LeftButton);
    }
    // The RAM word frames on the wire (first byte with bit 7 set).
    static std::vector<Frame> RamFrames(sim::ServedBoard& board) {
        std::vector<Frame> frames = Frames(board.Trace().Bytes());
        std::erase_if(frames, [](const Frame& f) { return (f[0] & 0x80) == 0; });
        return frames;
    }
    // The progress bar once the displays queued during a transfer have run.
    bool ProgressReaches(int value) {
        auto* bar = program->registers.findChild<QProgressBar*>("ProgressRAMTable");
        return WaitFor([&] { return bar->value() == value; });
    }
    static uint16_t ChipWord(sim::ServedBoard& board, int word) {
        return board.With([&](sim::SimulatedBoard& b) { return b.Model().RamWord(word); });
    }

    RamPage* page = nullptr;
};

TEST_F(RamPageE2E, ReadFillsTheGridFromTheChipWordByWord) {
    sim::ServedBoard* board = OpenSimulated("plain");
    board->With([](sim::SimulatedBoard& b) {
        for (int k = 0; k < kRamWords; ++k) {
            b.Model().Execute(RamWriteTelegram(k, uint8_t(2 * k), uint8_t(0xFF - k)));
        }
    });
    OpenWindow();
    board->ClearTrace();
    Press("BtnReadRAM");
    const auto frames = RamFrames(*board);
    ASSERT_EQ(frames.size(), 64u);
    for (int k = 0; k < kRamWords; ++k) {
        EXPECT_EQ(frames[size_t(k)], (Frame{uint8_t(0x81 + 2 * k), 0, 0, 0}));
    }
    const RamTable table = page->Table();
    EXPECT_EQ(table.Cell(0), "00");
    EXPECT_EQ(table.Cell(1), "FF");
    EXPECT_EQ(table.Cell(126), "7E");
    EXPECT_EQ(table.Cell(127), "C0");
    EXPECT_TRUE(ProgressReaches(127));
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST_F(RamPageE2E, WriteSendsEveryWordOddByteFirst) {
    sim::ServedBoard* board = OpenSimulated("plain");
    OpenWindow();
    board->ClearTrace();
    Press("BtnWriteRAM"); // the fresh grid is empty: refused
    EXPECT_TRUE(RamFrames(*board).empty());
    EXPECT_EQ(messages.texts.size(), 1);
    RamTable table;
    for (int n = 0; n < kRamBytes; ++n) {
        table.SetByte(n, uint8_t(n ^ 0x5A));
    }
    page->ShowTable(table);
    board->ClearTrace();
    Press("BtnWriteRAM");
    const auto frames = RamFrames(*board);
    ASSERT_EQ(frames.size(), 64u);
    EXPECT_EQ(frames[0], (Frame{0x80, 0, 0x5B, 0x5A}));
    EXPECT_EQ(frames[63], (Frame{0xFE, 0, 0x7F ^ 0x5A, 0x7E ^ 0x5A}));
    for (int k = 0; k < kRamWords; ++k) {
        EXPECT_EQ(ChipWord(*board, k), ((2 * k + 1) ^ 0x5A) << 8 | ((2 * k) ^ 0x5A)) << k;
    }
}

TEST_F(RamPageE2E, CalculateAndWriteSendsTheWaveTableWordsOnly) {
    sim::ServedBoard* board = OpenSimulated("plain");
    OpenWindow();
    board->ClearTrace();
    Press("BtnShapeCW"); // sigma -1: the triangle
    const auto frames = RamFrames(*board);
    ASSERT_EQ(frames.size(), 32u);
    EXPECT_EQ(frames.front()[0], 0xC0);
    EXPECT_EQ(frames.back()[0], 0xFE);
    const auto triangle = CalcShapeTable(-1.0);
    EXPECT_EQ(ChipWord(*board, 48), triangle[33] << 8 | triangle[32]);
    EXPECT_EQ(page->Table().Cell(0), ""); // the configuration half is not touched
}

TEST_F(RamPageE2E, ManualTelegramShowsTheAnswerOrDashes) {
    sim::ServedBoard* board = OpenSimulated("plain");
    board->With([](sim::SimulatedBoard& b) { b.Model().Execute({0x02, 0x01, 0x02, 0x03}); });
    OpenWindow();
    program->registers.findChild<QLineEdit*>("EditSPIMan1")->setText("03");
    Press("BtnSendSPIMan");
    const auto shown = [&] {
        QStringList bytes;
        for (int k = 1; k <= 4; ++k) {
            bytes << program->registers.findChild<QLabel*>(QStringLiteral("StaticSPIMan%1").arg(k))
                         ->text();
        }
        return bytes.join(' ');
    };
    EXPECT_TRUE(shown().endsWith("01 02 03")) << shown().toStdString();
    sim::LineOptions silent = board->Options();
    silent.silent = true;
    board->SetOptions(silent);
    Press("BtnSendSPIMan");
    EXPECT_EQ(shown(), "-- -- -- --");
    EXPECT_TRUE(Main().Link().PollingEnabled);
}

TEST_F(RamPageE2E, AReadThatMeetsASilentBoardStopsAndLeavesTheRestEmpty) {
    // The board answers the reads of words 0..31 and then falls silent.
    sim::PtyBoard board;
    std::atomic<int> ramReads{0};
    board.SetReceiveObserver([&](std::span<const sim::TraceEntry> entries) {
        for (const auto& entry : entries) {
            if (entry.byte == 0x81 + 2 * ramReads && ++ramReads == 32) {
                sim::LineOptions silent = board.Options();
                silent.silent = true;
                board.SetOptions(silent);
            }
        }
    });
    ASSERT_TRUE(board.Start());
    OpenBoard(board);
    ASSERT_TRUE(WaitFor([&] { return Text("StaticInfo1") == "The board is active."; }));
    OpenWindow();
    Press("BtnReadRAM");
    const RamTable table = page->Table();
    EXPECT_EQ(table.Cell(63), "00");
    EXPECT_EQ(table.Cell(64), "");
    EXPECT_EQ(table.Cell(127), "");
    EXPECT_TRUE(ProgressReaches(2 * 32 + 1)); // the words read, not the last shown in passing
    EXPECT_EQ(messages.texts,
              QStringList({"The board does not respond. The RAM table was not read completely."}));
    EXPECT_TRUE(Main().Link().PollingEnabled);
}

} // namespace
} // namespace vrx::test
