// The board protocol through the loopback line, as vrx630ctl runs it where there are no
// pseudo-terminals: telegrams and their replies, the identification of each variant, a reply
// that comes in parts, and a hang-up.
#include "protocol/board_session.h"
#include "serial/serial_line.h"
#include "sim/loopback_board.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vrx::sim {
namespace {

using Bytes = std::vector<uint8_t>;

const Telegram kReadXActual{0x03, 0, 0, 0};

class LoopbackSessionTest : public testing::Test {
protected:
    // Starts a board and opens a line and a session on it at the board's settings.
    void Serve(BoardVariant variant = BoardVariant::Plain, const LineOptions& options = {}) {
        session.reset();
        line.reset();
        board = std::make_unique<LoopbackBoard>(variant, options);
        ASSERT_TRUE(board->Start()) << board->ErrorText();
        line = std::make_unique<SerialLine>(board->Connect());
        LineSettings settings;
        settings.baudRate = cbr19200;
        int error = 0;
        ASSERT_TRUE(line->Open(LoopbackBoard::kDeviceName, settings, error)) << error;
        session = std::make_unique<BoardSession>(*line);
    }

    std::unique_ptr<LoopbackBoard> board;
    std::unique_ptr<SerialLine> line;
    std::unique_ptr<BoardSession> session;
};

TEST_F(LoopbackSessionTest, ATelegramReachesTheBoardAndItsReplyComesBack) {
    ASSERT_NO_FATAL_FAILURE(Serve());
    ASSERT_TRUE(session->Transfer({0x40, 0xFF, 0xFF, 0xFF})); // X_TARGET of motor 3 := -1
    const auto answer = session->Transfer({0x41, 0, 0, 0});
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->Value(), 0xFFFFFFu);
    EXPECT_EQ(board->Trace().Bytes(),
              (Bytes{kFrameStart, 0x40, 0xFF, 0xFF, 0xFF, kFrameStart, 0x41, 0, 0, 0}));
}

TEST_F(LoopbackSessionTest, EveryVariantIsDetectedAndIdentified) {
    const std::pair<BoardVariant, BoardKind> cases[] = {
        {BoardVariant::Plain, BoardKind::Plain},      {BoardVariant::Zepha, BoardKind::Zepha},
        {BoardVariant::Balsen, BoardKind::Balsen},    {BoardVariant::Vrx516Kit, BoardKind::Kit516},
        {BoardVariant::Vrx52xKit, BoardKind::Kit52x}, {BoardVariant::Vrx880Kit, BoardKind::Kit880}};
    for (const auto& [variant, kind] : cases) {
        ASSERT_NO_FATAL_FAILURE(Serve(variant));
        const auto id = session->Detect();
        ASSERT_TRUE(id) << VariantName(variant);
        EXPECT_EQ(std::string(id->begin(), id->end()), IdentificationText(variant));
        EXPECT_EQ(session->Kind(), kind) << VariantName(variant);
        // The ZEPHA board takes its own frames once set up.
        EXPECT_TRUE(session->Transfer(kReadXActual)) << VariantName(variant);
    }
}

TEST_F(LoopbackSessionTest, AReplySplitInTwoPartsIsAssembled) {
    LineOptions options;
    options.splitGapMs = 50;
    ASSERT_NO_FATAL_FAILURE(Serve(BoardVariant::Plain, options));
    EXPECT_EQ(session->Transfer(kReadXActual), (Answer{0x15, 0, 0, 0}));
}

TEST_F(LoopbackSessionTest, AHangUpLosesTheLine) {
    LineOptions options;
    options.hangUpAfter = 1;
    ASSERT_NO_FATAL_FAILURE(Serve(BoardVariant::Plain, options));
    EXPECT_TRUE(session->Transfer(kReadXActual));
    EXPECT_FALSE(line->Lost());
    EXPECT_FALSE(session->Transfer(kReadXActual));
    EXPECT_TRUE(line->Lost());
    EXPECT_TRUE(board->HungUp());
}

} // namespace
} // namespace vrx::sim
