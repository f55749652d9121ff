#include "link/board_link.h"
#include "link/serial_port.h"

#include "fake_serial_backend.h"
#include "support/wait_for.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <stdexcept>

namespace vrx {
namespace {

using test::FakeSerialState;
using test::WaitFor;
using Bytes = std::vector<uint8_t>;

class BoardLinkTest : public testing::Test {
protected:
    void SetUp() override {
        port.SetDeviceName("fake");
        port.Open();
        ASSERT_TRUE(port.IsOpen());
        link.ReportError = [this](const QString& text) { errors.push_back(text); };
        link.OnReplyTimeout = [this] { ++timeouts; };
    }

    // Runs `f` from inside the event loop of a wait that is in progress.
    void Later(int ms, std::function<void()> f) { QTimer::singleShot(ms, &link, std::move(f)); }

    std::shared_ptr<FakeSerialState> fake = std::make_shared<FakeSerialState>();
    uint32_t now = 100000;
    TSerialPort port{std::make_unique<test::FakeSerialBackend>(fake)};
    BoardLink link{port, [this] { return now; }};
    std::vector<QString> errors;
    int timeouts = 0;
};

struct FrameCase {
    bool zepha;
    bool slow;
    Bytes wire;
};

class FrameTest : public BoardLinkTest, public testing::WithParamInterface<FrameCase> {};

TEST_P(FrameTest, TelegramFrameOnTheWire) {
    link.ZephaFrames = GetParam().zepha;
    link.SlowSpi = GetParam().slow;
    link.SendTelegram(0x19, 0x00, 0x00, 0x00);
    EXPECT_EQ(fake->Wire(), GetParam().wire);
    EXPECT_EQ(fake->WriteCount(), 1u); // the whole frame in one write
}

INSTANTIATE_TEST_SUITE_P(
    Forms, FrameTest,
    testing::Values(FrameCase{false, false, {0x23, 0x19, 0x00, 0x00, 0x00}},
                    FrameCase{false, true, {0x23, 0x19, 0x00, 0x00, 0x00}},
                    FrameCase{true, true, {0x21, 0x04, 0x19, 0x00, 0x00, 0x00}},
                    FrameCase{true, false, {0x23, 0x04, 0x19, 0x00, 0x00, 0x00}}));

TEST_F(BoardLinkTest, TransferWhilePollingIsEnabledSendsNothing) {
    link.TransferAnswer = {1, 2, 3, 4};
    link.PollingEnabled = true;
    EXPECT_EQ(link.TransferTelegram(0x15, 0, 0, 0), (Answer{1, 2, 3, 4}));
    EXPECT_TRUE(fake->Wire().empty());
    EXPECT_EQ(link.TransferAnswer, (Answer{1, 2, 3, 4}));
}

TEST_F(BoardLinkTest, TransferReturnsItsReplyTakenWhenAllFourBytesWait) {
    link.PollingEnabled = false;
    fake->onWrite = [this](const Bytes&) {
        Later(5, [this] { fake->Receive({0x05, 0x00}); });
        Later(30, [this] {
            EXPECT_FALSE(link.AnswerReceived) << "two bytes must not be taken";
            EXPECT_EQ(fake->RxCount(), 2u);
            fake->Receive({0x0F, 0xFF});
        });
    };
    const Answer answer = link.TransferTelegram(0x09, 0, 0, 0);
    EXPECT_EQ(answer, (Answer{0x05, 0x00, 0x0F, 0xFF}));
    EXPECT_EQ(link.TransferAnswer, answer);
    EXPECT_TRUE(link.AnswerReceived);
    EXPECT_FALSE(link.AwaitingTransfer);
    EXPECT_EQ(fake->Wire(), (Bytes{0x23, 0x09, 0, 0, 0}));
    EXPECT_EQ(link.LastSendTick, now);
}

TEST_F(BoardLinkTest, SilentBoardEndsTheTransferAfterTheTimeoutWithThePreviousAnswer) {
    link.PollingEnabled = false;
    link.TransferAnswer = {9, 8, 7, 6};
    const uint32_t sent = now;
    Later(20, [this, sent] { now = sent + 2000; }); // exactly 2000 ms: not yet
    Later(60, [this, sent] {
        EXPECT_FALSE(link.AnswerReceived);
        EXPECT_EQ(timeouts, 0);
        now = sent + 2001;
    });
    EXPECT_EQ(link.TransferTelegram(0x01, 0, 0, 0), (Answer{9, 8, 7, 6}));
    EXPECT_EQ(timeouts, 1);
    EXPECT_TRUE(link.AnswerReceived);
    EXPECT_FALSE(link.AwaitingTransfer);
    EXPECT_EQ(fake->purgeIn, 1);
    EXPECT_EQ(fake->purgeOut, 1);
}

TEST_F(BoardLinkTest, WrongLengthRepliesWaitUntilTheTimeoutPurgesThem) {
    for (const Bytes& reply : {Bytes{1, 2, 3, 4, 5}, Bytes(10, 'E')}) {
        int polls = 0;
        link.OnPollReply = [&](const Answer&) { ++polls; };
        link.Detecting = false;
        link.AnswerReceived = false; // a poll is in flight
        link.LastSendTick = now;
        fake->Receive(reply);
        ASSERT_TRUE(WaitFor([&] { return fake->waits > 0; }));
        test::Pump(30);
        EXPECT_EQ(polls, 0);
        EXPECT_EQ(fake->RxCount(), reply.size());
        now += 2001;
        link.CheckReplyTimeout();
        EXPECT_EQ(fake->RxCount(), 0u);
        EXPECT_TRUE(link.AnswerReceived);
        // A reply arriving on its own afterwards is taken again.
        link.AnswerReceived = false;
        fake->Receive({0, 0, 0, 1});
        EXPECT_TRUE(WaitFor([&] { return polls == 1; }));
    }
}

TEST_F(BoardLinkTest, DetectionBurstIsOneHundredTwentyEightSingleZerosThenFF) {
    link.StartDetection();
    EXPECT_EQ(fake->purgeOut, 1);
    std::lock_guard lock(fake->mutex);
    ASSERT_EQ(fake->writes.size(), 129u);
    for (size_t i = 0; i < 128; ++i) {
        EXPECT_EQ(fake->writes[i], Bytes{0x00});
    }
    EXPECT_EQ(fake->writes[128], Bytes{0xFF});
    EXPECT_TRUE(link.Detecting);
    EXPECT_EQ(link.LastSendTick, now);
}

TEST_F(BoardLinkTest, ADetectionBurstThatCannotLeaveStopsAtTheFirstWaitAndReportsTheBoard) {
    fake->outQueue = 1; // the adapter never drains
    Later(20, [this] { now += 2001; });
    link.StartDetection();
    EXPECT_EQ(fake->WriteCount(), 1u);
    EXPECT_EQ(timeouts, 1);
    EXPECT_FALSE(link.Detecting);
    EXPECT_TRUE(link.AnswerReceived);
}

TEST_F(BoardLinkTest, OnlyTheBurstsLastByteAsksForTheIdentification) {
    int identifications = 0;
    link.OnIdentification = [&](const Identification&) { ++identifications; };
    fake->outQueue = 1; // the burst waits for the line
    Later(10, [this] { fake->Receive(Bytes(10, 'E')); });
    Later(40, [this] { fake->outQueue = 0; });
    link.StartDetection();
    EXPECT_EQ(identifications, 0);
    EXPECT_EQ(fake->RxCount(), 0u);
    EXPECT_TRUE(link.Detecting);
    EXPECT_EQ(fake->Wire().back(), 0xFF);
}

TEST_F(BoardLinkTest, ABurstWhosePortWasClosedAndOpenedAgainStops) {
    fake->outQueue = 1;
    Later(10, [this] {
        link.Close();
        port.Open();
        fake->outQueue = 0; // the new session's line drains
    });
    link.StartDetection();
    EXPECT_EQ(fake->Wire(), Bytes{0x00}); // nothing more on the new session
}

TEST_F(BoardLinkTest, BytesThatComeWhileNothingIsInFlightAreDiscarded) {
    int polls = 0;
    link.OnPollReply = [&](const Answer&) { ++polls; };
    fake->Receive({1, 2, 3, 4});
    ASSERT_TRUE(WaitFor([&] { return fake->purgeIn == 1; }));
    EXPECT_EQ(fake->RxCount(), 0u);
    EXPECT_EQ(polls, 0);
}

TEST_F(BoardLinkTest, TenBytesWhileDetectingAreTheIdentification) {
    Identification seen{};
    bool detectingAtAccept = false;
    link.OnIdentification = [&](const Identification& id) { seen = id; };
    link.OnReplyAccepted = [&] { detectingAtAccept = link.Detecting; };
    link.StartDetection();
    fake->Receive({'E', 'V', '6', '3', '0', ' ', 'V', '3', '.', '1'});
    ASSERT_TRUE(WaitFor([&] { return !link.Detecting; }));
    EXPECT_EQ(IdentifyBoard(seen), BoardKind::Kit52x);
    EXPECT_TRUE(detectingAtAccept);
    EXPECT_TRUE(link.AnswerReceived);
}

TEST_F(BoardLinkTest, ZephaSetupBytes) {
    link.SendZEPHASetup();
    EXPECT_EQ(fake->purgeOut, 1);
    EXPECT_EQ(fake->Wire(), (Bytes{0x20, 0x30, 0x31, 0x33, 0x32, 0x22, 0x00, 0x00}));
}

TEST_F(BoardLinkTest, AFailedWriteReportsSendErrorUnlessThePortIsGoing) {
    fake->forcedWriteResult = -1;
    link.SendTelegram(1, 2, 3, 4);
    EXPECT_EQ(errors, std::vector<QString>{"Send error!"});
    // The write that fails because the device just went away is part of the loss, which is
    // told on its own.
    errors.clear();
    link.SendTelegram(1, 2, 3, 4); // a second one in the same stall says nothing more
    fake->forcedWriteResult = 0;
    link.SendTelegram(1, 2, 3, 4);
    {
        std::lock_guard lock(fake->mutex); // lost, but not yet seen by the reader
        fake->forcedWriteResult = -1;
        fake->lost = true;
    }
    link.SendTelegram(1, 2, 3, 4);
    const uint8_t query = 0x50;
    link.SendBoardBytes(&query, 1);
    EXPECT_TRUE(errors.empty()) << errors.front().toStdString();
}

TEST_F(BoardLinkTest, ATransmitQueueThatNeverEmptiesCountsAsAFailedWrite) {
    fake->outQueue = 3;
    uint32_t ticking = 0;
    BoardLink stepping{port, [&] { return ticking += 50; }};
    stepping.ReportError = [this](const QString& text) { errors.push_back(text); };
    stepping.SendTelegram(1, 2, 3, 4);
    EXPECT_EQ(errors, std::vector<QString>{"Send error!"});
    EXPECT_TRUE(fake->Wire().empty());
}

TEST_F(BoardLinkTest, NestedTransferWaitsForTheOuterReplyAndEachGetsItsOwnAnswer) {
    link.PollingEnabled = false;
    const Answer replyA{0x01, 0xAA, 0xAA, 0xAA};
    const Answer replyB{0x02, 0xBB, 0xBB, 0xBB};
    Answer inner{};
    size_t writesWhenInnerStarted = 0;
    fake->onWrite = [&](const Bytes& frame) {
        if (frame[1] == 0x0B) { // the inner telegram answers promptly
            Later(5, [&] { fake->Receive({replyB.a0, replyB.a1, replyB.a2, replyB.a3}); });
        }
    };
    Later(10, [&] {
        // A Stop pressed while Go waits: its transfer must not go on the line yet.
        auto suspension = link.SuspendPolling();
        writesWhenInnerStarted = fake->WriteCount();
        inner = link.TransferTelegram(0x0B, 0, 0, 0);
    });
    Later(40, [&] {
        EXPECT_EQ(fake->WriteCount(), 1u) << "second command put on the line too early";
        fake->Receive({replyA.a0, replyA.a1, replyA.a2, replyA.a3});
    });
    const Answer outer = link.TransferTelegram(0x0A, 0, 0, 0);
    EXPECT_EQ(writesWhenInnerStarted, 1u);
    EXPECT_EQ(outer, replyA);
    EXPECT_EQ(inner, replyB);
    EXPECT_EQ(link.TransferAnswer, replyB);
    EXPECT_EQ(fake->Wire(), (Bytes{0x23, 0x0A, 0, 0, 0, 0x23, 0x0B, 0, 0, 0}));
    EXPECT_FALSE(link.PollingEnabled);
}

TEST_F(BoardLinkTest, ClosingThePortEndsAWaitInProgress) {
    link.PollingEnabled = false;
    link.TransferAnswer = {4, 4, 4, 4};
    Later(20, [this] { link.Close(); });
    EXPECT_EQ(link.TransferTelegram(0x01, 0, 0, 0), (Answer{4, 4, 4, 4}));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(link.AnswerReceived);
    EXPECT_FALSE(link.AwaitingTransfer);
    // Later transfers of the same sequence return at once.
    EXPECT_EQ(link.TransferTelegram(0x02, 0, 0, 0), (Answer{4, 4, 4, 4}));
    EXPECT_EQ(fake->WriteCount(), 1u);
}

TEST_F(BoardLinkTest, SuspendPollingWaitsForThePollInFlightAndRestoresOnEveryWayOut) {
    link.PollingEnabled = true;
    link.AnswerReceived = false; // a poll is in flight
    link.LastSendTick = now;
    Later(20, [this] { fake->Receive({0, 0, 0, 7}); });
    try {
        auto suspension = link.SuspendPolling();
        EXPECT_TRUE(link.AnswerReceived);
        EXPECT_FALSE(link.PollingEnabled);
        {
            auto nested = link.SuspendPolling(); // finds polling off and restores "off"
        }
        EXPECT_FALSE(link.PollingEnabled);
        throw std::runtime_error("way out");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(link.PollingEnabled);
}

TEST_F(BoardLinkTest, APortThatGoesAwayIsReportedOnce) {
    int lost = 0;
    link.OnPortLost = [&] { ++lost; };
    fake->Lose();
    ASSERT_TRUE(WaitFor([&] { return lost == 1; }));
    fake->Receive({1, 2, 3, 4}); // the reader has stopped: nothing more is handed over
    test::Pump(30);
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(fake->waits, 1);
}

TEST_F(BoardLinkTest, APortThatGoesAwayIsClosedWhenNobodyListens) {
    link.PollingEnabled = false;
    Later(10, [this] { fake->Lose(); });
    link.TransferTelegram(0x01, 0, 0, 0);
    EXPECT_FALSE(port.IsOpen());
}

struct IdCase {
    const char* bytes;
    BoardKind kind;
};

class IdentifyTest : public testing::TestWithParam<IdCase> {};

TEST_P(IdentifyTest, FirstMatchingPatternWins) {
    Identification id{};
    std::copy_n(GetParam().bytes, 10, id.begin());
    EXPECT_EQ(IdentifyBoard(id), GetParam().kind) << GetParam().bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, IdentifyTest,
    testing::Values(IdCase{"ZEPHA 1.00", BoardKind::Zepha}, IdCase{"ZAP-------", BoardKind::Balsen},
                    IdCase{"EV630 V2.5", BoardKind::Kit516},
                    IdCase{"EV....V3.9", BoardKind::Kit52x},
                    IdCase{"EV880 V3.0", BoardKind::Kit52x}, // test 4 comes before test 5
                    IdCase{"EV880 V1.0", BoardKind::Kit880}, IdCase{"EV630 V2.4", BoardKind::Plain},
                    IdCase{"ZE--------", BoardKind::Plain}, IdCase{"ev880 v2.5", BoardKind::Plain},
                    IdCase{"\0\0\0\0\0\0\0\0\0\0", BoardKind::Plain}));

} // namespace
} // namespace vrx
