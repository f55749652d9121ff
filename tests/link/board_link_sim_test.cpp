// The board protocol over a real pseudo-terminal against the simulated board.
#include "link/board_link.h"
#include "link/serial_port.h"
#include "sim/pty_board.h"

#include "support/wait_for.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

using test::WaitFor;

class BoardLinkSimTest : public testing::Test {
protected:
    void Connect(sim::PtyBoard& board) {
        ASSERT_TRUE(board.Start()) << board.ErrorText();
        port.SetDeviceName(QString::fromStdString(board.DevicePath()));
        port.SetBaudRate(cbr19200);
        port.SetFlowControl(fcRTSToggle);
        port.Open();
        ASSERT_TRUE(port.IsOpen());
        link.PollingEnabled = false;
    }

    TSerialPort port;
    BoardLink link{port};
};

TEST_F(BoardLinkSimTest, EveryVariantIsIdentifiedFromItsAnswerToTheBurst) {
    const std::pair<sim::BoardVariant, BoardKind> cases[] = {
        {sim::BoardVariant::Plain, BoardKind::Plain},
        {sim::BoardVariant::Zepha, BoardKind::Zepha},
        {sim::BoardVariant::Balsen, BoardKind::Balsen},
        {sim::BoardVariant::Vrx516Kit, BoardKind::Kit516},
        {sim::BoardVariant::Vrx52xKit, BoardKind::Kit52x},
        {sim::BoardVariant::Vrx880Kit, BoardKind::Kit880}};
    for (const auto& [variant, kind] : cases) {
        sim::PtyBoard board(variant);
        Connect(board);
        std::optional<BoardKind> seen;
        link.OnIdentification = [&](const Identification& id) { seen = IdentifyBoard(id); };
        link.StartDetection();
        ASSERT_TRUE(WaitFor([&] { return seen.has_value(); })) << int(variant);
        EXPECT_EQ(*seen, kind);
        const std::vector<uint8_t> wire = board.Trace().Bytes();
        ASSERT_EQ(wire.size(), 129u);
        EXPECT_EQ(std::count(wire.begin(), wire.end() - 1, 0x00), 128);
        EXPECT_EQ(wire.back(), 0xFF);
        port.Close();
    }
}

TEST_F(BoardLinkSimTest, TransfersReadBackWhatTheyWrote) {
    sim::PtyBoard board;
    Connect(board);
    link.TransferTelegram(0x40, 0xFF, 0xFF, 0xFF); // X_TARGET of motor 3 := -1
    const Answer answer = link.TransferTelegram(0x41, 0, 0, 0);
    EXPECT_EQ(answer.Value(), 0xFFFFFFu);
    EXPECT_EQ(link.TransferAnswer, answer);
}

TEST_F(BoardLinkSimTest, ASplitReplyIsTakenWhenItsSecondHalfArrives) {
    sim::PtyBoard board;
    sim::LineOptions split;
    split.splitGapMs = 40;
    board.SetOptions(split);
    Connect(board);
    link.TransferTelegram(0x08, 0x00, 0x0F, 0xFF);
    const Answer answer = link.TransferTelegram(0x09, 0, 0, 0);
    EXPECT_EQ(answer.Value(), 0x000FFFu);
    EXPECT_TRUE(link.AnswerReceived);
}

TEST_F(BoardLinkSimTest, AReplyWithAnExtraByteIsNeverTakenAndTheTimeoutPurgesIt) {
    sim::PtyBoard board;
    sim::LineOptions extra;
    extra.extraByte = true;
    board.SetOptions(extra);
    Connect(board);
    int timeouts = 0;
    link.OnReplyTimeout = [&] { ++timeouts; };
    link.TransferAnswer = {1, 2, 3, 4};
    EXPECT_EQ(link.TransferTelegram(0x01, 0, 0, 0), (Answer{1, 2, 3, 4}));
    EXPECT_EQ(timeouts, 1);
    board.SetOptions({});
    const Answer answer = link.TransferTelegram(0x03, 0, 0, 0);
    EXPECT_EQ(answer.a1, 0) << "the purged bytes are not taken for the next reply";
    EXPECT_EQ(timeouts, 1);
}

} // namespace
} // namespace vrx
