#include "chip/register_map.h"
#include "sim/simulated_board.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vrx::sim {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kModeQuery = {kQueryModeByte};
const Bytes kModeAnswer = {0, 0, 0, 0x04};
const Bytes kReadVMax = {kFrameStart, 0x07, 0, 0, 0};
const Bytes kVMaxAnswer = {0x15, 0, 0, 0};

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

struct FaultCase {
    const char* what;
    LineOptions options;
    Bytes input; // handed over at t = 0
    // Bytes that must have gone out by each time, cumulative.
    std::vector<std::pair<double, Bytes>> expected;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.what;
}

class LineFault : public testing::TestWithParam<FaultCase> {};

TEST_P(LineFault, ShapesTheRepliesOnTheLine) {
    const FaultCase& c = GetParam();
    SimulatedBoard board(BoardVariant::Vrx880Kit, c.options);
    board.Receive(c.input, 0.0);
    Bytes sent;
    for (const auto& [time, bytes] : c.expected) {
        const Bytes due = board.TakeDue(time);
        sent.insert(sent.end(), due.begin(), due.end());
        EXPECT_EQ(sent, bytes) << c.what << " at " << time << " ms";
    }
    EXPECT_FALSE(board.NextDueMs().has_value()) << c.what;
}

LineOptions With(void (*set)(LineOptions&)) {
    LineOptions options;
    set(options);
    return options;
}

const Bytes kIdent = {'E', 'V', '8', '8', '0', ' ', 'V', '1', '.', '0'};

INSTANTIATE_TEST_SUITE_P(
    Cases, LineFault,
    testing::Values(
        FaultCase{"no fault: replies go out at once",
                  {},
                  Concat({kModeQuery, kReadVMax}),
                  {{0.0, Concat({kModeAnswer, kVMaxAnswer})}}},
        FaultCase{"silent board",
                  With([](LineOptions& o) { o.silent = true; }),
                  Concat({kModeQuery, kReadVMax, {kIdentify}}),
                  {{1e6, {}}}},
        FaultCase{"every second reply lost",
                  With([](LineOptions& o) { o.dropEvery = 2; }),
                  Concat({kModeQuery, kReadVMax, kModeQuery, kReadVMax}),
                  {{0.0, Concat({kModeAnswer, kModeAnswer})}}},
        FaultCase{"replies late",
                  With([](LineOptions& o) { o.delayMs = 50; }),
                  kModeQuery,
                  {{49.9, {}}, {50.0, kModeAnswer}}},
        FaultCase{"replies split two and two",
                  With([](LineOptions& o) { o.splitGapMs = 30; }),
                  kReadVMax,
                  {{0.0, {0x15, 0}}, {29.9, {0x15, 0}}, {30.0, kVMaxAnswer}}},
        FaultCase{"an extra byte after each reply",
                  With([](LineOptions& o) { o.extraByte = true; }),
                  Concat({kModeQuery, kModeQuery}),
                  {{0.0, Concat({kModeAnswer, {kExtraByte}, kModeAnswer, {kExtraByte}})}}},
        FaultCase{"identification late, later replies wait behind it",
                  With([](LineOptions& o) { o.identDelayMs = 200; }),
                  Concat({kModeQuery, {kIdentify}, kModeQuery}),
                  {{0.0, kModeAnswer},
                   {199.0, kModeAnswer},
                   {200.0, Concat({kModeAnswer, kIdent, kModeAnswer})}}},
        FaultCase{"wrong identification",
                  With([](LineOptions& o) { o.wrongIdent = "EV630 V9.9"; }),
                  {0x00, 0x00, kIdentify},
                  {{0.0, {'E', 'V', '6', '3', '0', ' ', 'V', '9', '.', '9'}}}},
        FaultCase{"wire timing: five request bytes, then four reply bytes",
                  With([](LineOptions& o) { o.wireTiming = true; }),
                  kReadVMax,
                  {{5 * kByteTimeMs + 0.99 * kByteTimeMs, {}},
                   {6.01 * kByteTimeMs, {0x15}},
                   {8.99 * kByteTimeMs, {0x15, 0, 0}},
                   {9.01 * kByteTimeMs, kVMaxAnswer}}},
        FaultCase{"wire timing: back-to-back replies queue on the line",
                  With([](LineOptions& o) { o.wireTiming = true; }),
                  Concat({kModeQuery, kModeQuery}),
                  // the second request is in after 2 byte times, but the line is busy until 5
                  {{4.99 * kByteTimeMs, {0, 0, 0}},
                   {5.01 * kByteTimeMs, kModeAnswer},
                   {8.99 * kByteTimeMs, Concat({kModeAnswer, {0, 0, 0}})},
                   {9.01 * kByteTimeMs, Concat({kModeAnswer, kModeAnswer})}}},
        FaultCase{"wire timing with a split reply",
                  With([](LineOptions& o) {
                      o.wireTiming = true;
                      o.splitGapMs = 10;
                  }),
                  kModeQuery,
                  {{3.01 * kByteTimeMs, {0, 0}},
                   {10 + 3.99 * kByteTimeMs, {0, 0}},
                   {10 + 5.01 * kByteTimeMs, kModeAnswer}}}));

TEST(SimulatedBoard, HangsUpWhenTheCommandAfterTheLastAnsweredOneComes) {
    LineOptions options;
    options.hangUpAfter = 2;
    SimulatedBoard board(BoardVariant::Plain, options);
    board.Receive(Concat({{kIdentify}, kReadVMax, kModeQuery}), 0.0);
    EXPECT_FALSE(board.HangUpDue()); // the identification does not count
    EXPECT_EQ(board.TakeDue(0.0).size(), 18u);
    board.Receive(Concat({kReadVMax, kReadVMax}), 1.0);
    EXPECT_TRUE(board.HangUpDue());
    EXPECT_TRUE(board.TakeDue(10.0).empty());
    const size_t traced = board.Trace().Size();
    board.Receive(kModeQuery, 2.0);
    EXPECT_EQ(board.Trace().Size(), traced); // nothing is taken after the hang-up
}

TEST(SimulatedBoard, OptionsChangedWhileRunningApplyToLaterReplies) {
    SimulatedBoard board;
    board.Receive(kModeQuery, 0.0);
    LineOptions options;
    options.silent = true;
    board.SetOptions(options);
    board.Receive(kModeQuery, 1.0);
    EXPECT_EQ(board.TakeDue(5.0), kModeAnswer);
    EXPECT_EQ(board.RepliesLost(), 1);
    board.SetOptions({});
    board.Receive(kModeQuery, 6.0);
    EXPECT_EQ(board.TakeDue(6.0), kModeAnswer);
}

TEST(SimulatedBoard, TracesEveryReceivedByteWithItsTime) {
    SimulatedBoard board;
    board.Receive(Bytes{0x00, 0x00}, 1.5);
    board.Receive(kReadVMax, 7.25);
    const std::vector<TraceEntry> trace = board.Trace().Entries();
    ASSERT_EQ(trace.size(), 7u);
    EXPECT_EQ(trace[0], (TraceEntry{0x00, 1.5}));
    EXPECT_EQ(trace[2], (TraceEntry{kFrameStart, 7.25}));
    EXPECT_EQ(trace[6], (TraceEntry{0x00, 7.25}));
    EXPECT_EQ(board.Trace().Bytes(), Concat({{0x00, 0x00}, kReadVMax}));
}

TEST(SimulatedBoard, KeepsTheChipsMotionInStepWithTheClock) {
    SimulatedBoard board;
    board.Model().Motor(0).Write(MotorReg::Dividers, 0x7000); // PULSDIV 7
    board.Model().Motor(0).Write(MotorReg::RefConfRampMode, RampModeHold);
    board.Model().Motor(0).Write(MotorReg::VActual, 500); // 953.7 steps/s
    board.AdvanceTo(250.7);
    EXPECT_EQ(board.Model().ElapsedMs(), 250);
    // A telegram is answered with the state at the time it came.
    board.Receive(Bytes{kFrameStart, 0x03, 0, 0, 0}, 1000.0);
    const Bytes answer = board.TakeDue(1000.0);
    ASSERT_EQ(answer.size(), 4u);
    EXPECT_EQ(answer[2] * 256 + answer[3], 954);
    board.AdvanceTo(900.0); // the clock never runs backwards
    EXPECT_EQ(board.Model().ElapsedMs(), 1000);
}

// The motion law through the whole board: telegram frames in, X_ACTUAL read back over time.
TEST(SimulatedBoard, RunsAMotorAtTheStepRateOfItsClockAndDividers) {
    struct Case {
        int clockMhz;
        double stepsPerSecond; // V_MAX 1000 at PULSDIV 7: f_CLK * 1000 / 2^23
    };
    for (const Case c : {Case{16, 1907.35}, Case{32, 3814.7}}) {
        SimulatedBoard board;
        board.Model().SetClockMhz(c.clockMhz);
        const auto frame = [](MotorReg reg, std::vector<int32_t> values) {
            const Telegram t = WriteTelegram(Register(reg), Motor1, values);
            return Bytes{kFrameStart, t.b0, t.b1, t.b2, t.b3};
        };
        board.Receive(Concat({frame(MotorReg::Dividers, {7, 7, 0}), frame(MotorReg::AMax, {1000}),
                              frame(MotorReg::VMax, {1000}),
                              frame(MotorReg::RefConfRampMode, {0, RampModeRamp}),
                              frame(MotorReg::XTarget, {1000000})}),
                      0.0);
        EXPECT_EQ(board.TakeDue(0.0).size(), 5 * 4u);
        const auto xActualAt = [&board](double ms) {
            const Telegram t = ReadTelegram(Register(MotorReg::XActual), Motor1);
            board.Receive(Bytes{kFrameStart, t.b0, t.b1, t.b2, t.b3}, ms);
            const Bytes answer = board.TakeDue(ms);
            return answer.size() == 4 ? answer[1] << 16 | answer[2] << 8 | answer[3] : -1;
        };
        const int atOneSecond = xActualAt(1000.0); // cruising since 66 ms
        const int atTwoSeconds = xActualAt(2000.0);
        EXPECT_NEAR(atTwoSeconds - atOneSecond, c.stepsPerSecond, 0.02 * c.stepsPerSecond)
            << c.clockMhz << " MHz";
    }
}

} // namespace
} // namespace vrx::sim
