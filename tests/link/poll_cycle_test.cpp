#include "link/poll_cycle.h"

#include "link/board_link.h"
#include "link/serial_port.h"

#include "fake_serial_backend.h"
#include "support/wait_for.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

using Bytes = std::vector<uint8_t>;

struct FakeRegisterView : RegisterView {
    bool shown = false;
    int page = 0;
    bool IsShown() const override { return shown; }
    int ActivePage() const override { return page; }
};

struct RecordingPlot : PlotFeed {
    std::vector<PassRow> passes;
    void AddPass(const PassRow& row) override { passes.push_back(row); }
};

class PollCycleTest : public testing::Test {
protected:
    void SetUp() override {
        port.SetDeviceName("fake");
        port.Open();
        cycle.SetRegisterView(&view);
        cycle.SetPlotFeed(&plot);
        cycle.ShowStatus = [this](uint8_t status) { statuses.push_back(status); };
    }

    std::vector<int> Walk(int steps) {
        std::vector<int> order;
        for (int i = 0; i < steps; ++i) {
            cycle.Advance(false);
            order.push_back(cycle.PollIndex);
        }
        return order;
    }

    std::shared_ptr<test::FakeSerialState> fake = std::make_shared<test::FakeSerialState>();
    uint32_t now = 5000;
    TSerialPort port{std::make_unique<test::FakeSerialBackend>(fake)};
    BoardLink link{port, [this] { return now; }};
    PollCycle cycle{link};
    FakeRegisterView view;
    RecordingPlot plot;
    std::vector<uint8_t> statuses;
};

TEST_F(PollCycleTest, OnlyTheTwelveAlwaysPolledSlotsWithTheMainWindowAlone) {
    EXPECT_EQ(Walk(13), (std::vector<int>{1, 4, 5, 7, 16, 19, 20, 22, 31, 34, 35, 37, 1}));
}

TEST_F(PollCycleTest, TheRegisterPageOnTopJoinsTheCycleInTableOrder) {
    view.shown = true;
    view.page = 1;
    cycle.PollIndex = 7;
    EXPECT_EQ(Walk(19), (std::vector<int>{15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28,
                                          29, 31, 34, 35, 37}));
    view.shown = false; // closing the window drops them at the next advance
    cycle.PollIndex = 7;
    EXPECT_EQ(Walk(2), (std::vector<int>{16, 19}));
}

TEST_F(PollCycleTest, AfterSlot55AndAfterTheIdentificationTheWalkRestartsAtZero) {
    cycle.PollIndex = 55;
    cycle.Advance(false);
    EXPECT_EQ(cycle.PollIndex, 0);
    cycle.PollIndex = 20;
    cycle.Advance(true);
    EXPECT_EQ(cycle.PollIndex, 0);
    cycle.Slot(52).PageIndex = kPageAlways; // a driver-chip window switched its slot on
    cycle.PollIndex = 37;
    cycle.Advance(false);
    EXPECT_EQ(cycle.PollIndex, 52);
}

TEST_F(PollCycleTest, ATickSendsTheSlotTelegramOrItsBoardQueryAndThenOnlyWatches) {
    struct Case {
        int slot;
        Bytes wire;
    };
    for (const Case& c : {Case{1, {0x23, 0x03, 0, 0, 0}}, Case{37, {0x23, 0x4F, 0, 0, 0}},
                          Case{50, {0x23, 0x7F, 0, 0, 0}}, Case{51, {0x66}}, Case{52, {0x73}},
                          Case{53, {0x6D}}, Case{54, {0x76}}, Case{55, {0x70}}}) {
        fake->writes.clear();
        link.AnswerReceived = true;
        cycle.PollIndex = c.slot;
        ++now;
        cycle.Tick();
        EXPECT_EQ(fake->Wire(), c.wire) << c.slot;
        EXPECT_FALSE(link.AnswerReceived);
        EXPECT_EQ(link.LastSendTick, now);
        cycle.Tick(); // no reply yet: nothing more goes out
        EXPECT_EQ(fake->Wire(), c.wire) << c.slot;
    }
}

TEST_F(PollCycleTest, NothingIsSentWhilePollingIsSuspendedOrATickIsBusy) {
    link.PollingEnabled = false;
    cycle.Tick();
    link.PollingEnabled = true;
    cycle.TimerBusy = true;
    cycle.Tick();
    EXPECT_TRUE(fake->Wire().empty());
    EXPECT_TRUE(link.AnswerReceived);
}

// The plot and the recorder get each complete pass once, as it ends before slot 1 is polled
// again; a pass that missed a value goes to neither.
TEST_F(PollCycleTest, EachCompletePassGoesToThePlotAndTheRecorderOnce) {
    std::vector<PassRow> recorded;
    cycle.OnPass = [&](const PassRow& row) { recorded.push_back(row); };
    const auto pass = [&](bool whole) {
        for (int slot : {1, 4, 5, 7, 16, 19, 20, 22, 31, 34, 35, 37}) {
            if (whole || slot != 22) {
                cycle.PollIndex = slot;
                const uint8_t low = uint8_t(0xF0 + slot % 15);
                cycle.DistributeReply(slot % 15 == 1 ? Answer{0x15, 0xFF, 0xFF, low}
                                                     : Answer{0x15, 0x00, 0x0F, low});
            }
        }
        link.AnswerReceived = true;
        cycle.PollIndex = 1;
        cycle.Tick();
    };
    pass(true);
    ASSERT_EQ(plot.passes.size(), 1u);
    EXPECT_EQ(plot.passes[0].values[0], -15) << "X_ACTUAL of motor 1, sign-extended";
    EXPECT_EQ(plot.passes[0].values[11], -12) << "V_TARGET of motor 3, by its sign bit 11";
    EXPECT_EQ(plot.passes[0].status, 0x15);
    pass(false);
    EXPECT_EQ(plot.passes.size(), 1u);
    link.AnswerReceived = true;
    cycle.PollIndex = 4;
    cycle.Tick();
    EXPECT_EQ(plot.passes.size(), 1u);
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].values, plot.passes[0].values);
}

TEST_F(PollCycleTest, TheTickRunsTheReplyTimeout) {
    int timeouts = 0;
    link.OnReplyTimeout = [&] { ++timeouts; };
    cycle.Tick(); // sends
    now += 2000;
    cycle.Tick();
    EXPECT_EQ(timeouts, 0);
    now += 1;
    cycle.Tick();
    EXPECT_EQ(timeouts, 1);
    EXPECT_TRUE(link.AnswerReceived);
}

TEST_F(PollCycleTest, AReplyIsShownHandedOnPlottedAndLightsTheLeds) {
    std::vector<QString> main, reg;
    std::vector<Bytes> handled;
    cycle.Slot(4).MainDisplay = [&](const QString& t) { main.push_back(t); };
    cycle.Slot(4).RegisterDisplay = [&](const QString& t) { reg.push_back(t); };
    cycle.Slot(4).OnAnswer = [&](uint8_t a1, uint8_t a2, uint8_t a3) {
        handled.push_back({a1, a2, a3});
    };
    cycle.PollIndex = 4;
    cycle.DistributeReply({0x15, 0x00, 0x0F, 0xFF});
    EXPECT_EQ(main, std::vector<QString>{"-1"});
    EXPECT_EQ(handled, (std::vector<Bytes>{{0x00, 0x0F, 0xFF}}));
    EXPECT_TRUE(reg.empty()) << "the register window is not shown";
    EXPECT_EQ(statuses, Bytes{0x15});

    view.shown = true;
    cycle.DistributeReply({0x00, 0x00, 0x00, 0x05});
    EXPECT_EQ(reg, std::vector<QString>{"5"});
}

TEST_F(PollCycleTest, AQueryReplyGoesToItsHandlerAndLeavesTheLedsAlone) {
    Bytes got;
    cycle.Slot(51).OnAnswer = [&](uint8_t a1, uint8_t a2, uint8_t a3) { got = {a1, a2, a3}; };
    cycle.PollIndex = 51;
    cycle.DistributeReply({0xFF, 0x11, 0x22, 0x33});
    EXPECT_EQ(got, (Bytes{0x11, 0x22, 0x33}));
    EXPECT_TRUE(statuses.empty());
}

TEST_F(PollCycleTest, HexSlotsShowSixDigits) {
    QString shown;
    cycle.Slot(45).MainDisplay = [&](const QString& t) { shown = t; };
    cycle.PollIndex = 45;
    cycle.DistributeReply({0, 0x00, 0x0A, 0xBC});
    EXPECT_EQ(shown, "000ABC");
}

// The main window's wiring of replies into the cycle.
class PollCycleWiredTest : public PollCycleTest {
protected:
    void SetUp() override {
        PollCycleTest::SetUp();
        link.OnPollReply = [this](const Answer& reply) { cycle.DistributeReply(reply); };
        link.OnReplyAccepted = [this] { cycle.Advance(link.Detecting); };
        for (int slot : {XActualSlot(0), VTargetSlot(0)}) {
            cycle.Slot(slot).MainDisplay = [this, slot](const QString& text) {
                shown.push_back({slot, text});
            };
        }
        cycle.PollIndex = XActualSlot(0);
    }
    // The first byte of every telegram frame sent.
    std::vector<uint8_t> Sent() {
        std::vector<uint8_t> firsts;
        const Bytes wire = fake->Wire();
        for (size_t i = 0; i + 4 < wire.size(); i += 5) {
            firsts.push_back(wire[i + 1]);
        }
        return firsts;
    }
    std::vector<std::pair<int, QString>> shown;
};

TEST_F(PollCycleWiredTest, ALateReplyIsDiscardedAndNeverShownAsAnotherRegister) {
    cycle.Tick(); // X_ACTUAL of motor 1 goes out, the board is slow
    now += 2001;
    cycle.Tick(); // the reply timeout
    ASSERT_TRUE(link.AnswerReceived);
    fake->Receive({0, 0, 0x13, 0x88}); // X_ACTUAL = 5000, late
    ASSERT_TRUE(test::WaitFor([&] { return fake->RxCount() == 0; }));
    cycle.Tick(); // the line is not yet quiet for long enough: nothing goes out
    EXPECT_EQ(Sent(), (std::vector<uint8_t>{0x03}));
    now += link.ResyncQuietMs();
    cycle.Tick(); // the same slot again: the walk moves on only with an accepted reply
    EXPECT_EQ(Sent(), (std::vector<uint8_t>{0x03, 0x03}));
    fake->Receive({0, 0, 0x00, 0x07});
    ASSERT_TRUE(test::WaitFor([&] { return link.AnswerReceived; }));
    EXPECT_EQ(shown, (std::vector<std::pair<int, QString>>{{XActualSlot(0), "7"}}));
    EXPECT_EQ(cycle.PollIndex, VTargetSlot(0));
}

TEST_F(PollCycleWiredTest, AStalledLineIsReportedOnceAndPollingResumesWhenItDrains) {
    int stalls = 0;
    std::vector<QString> errors;
    link.OnLineStalled = [&] { ++stalls; };
    link.ReportError = [&](const QString& text) { errors.push_back(text); };
    fake->outQueue = 7; // an adapter that stopped sending
    for (int i = 0; i < 50; ++i) {
        now += 100;
        cycle.Tick(); // returns at once: the window stays responsive
    }
    EXPECT_EQ(stalls, 1);
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(Sent().empty());
    fake->outQueue = 0;
    cycle.Tick();
    EXPECT_EQ(Sent(), (std::vector<uint8_t>{0x03}));
}

} // namespace
} // namespace vrx
