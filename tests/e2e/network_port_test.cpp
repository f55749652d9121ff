// The program on boards behind a real ser2net on 127.0.0.1: a typed rfc2217:// port opens,
// polls and moves the motor; a restart of the server is a port gone and back, reconnected with
// no motion command; a raw TCP port says once that the server keeps the line; a refused port
// is a message with the reason.
#include "program_fixture.h"

#include "chip/register_map.h"
#include "controls/spin_edit.h"
#include "ser2net_server.h"

namespace vrx::test {
namespace {

class NetworkPortTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(board.Start()) << board.ErrorText();
        ASSERT_TRUE(server.Start({{board.DevicePath(), true}, {board.DevicePath(), false}}))
            << server.Error();
    }
    void TearDown() override {
        ProgramTest::TearDown();
        server.Stop();
    }
    void SetInput(const QString& name, int value) { Find<TSpinEdit>(name)->setValue(value); }

    sim::PtyBoard board;
    Ser2netServer server;
};

TEST_F(NetworkPortTest, ATypedRfc2217PortPollsMovesAndReconnectsAfterTheServerRestarts) {
    board.With(
        [](sim::SimulatedBoard& b) { b.Model().Motor(0).Write(MotorReg::Dividers, 0x7700); });
    Open(QString::fromStdString(server.Name(0)));
    ASSERT_TRUE(WaitFor([&] { return Text("StaticInfo1") == "The board is active."; }));
    SetInput("EditXTarget1", 600);
    SetInput("EditVMax1", 1000);
    SetInput("EditAMax1", 200);
    Click("BtnGo1");
    ASSERT_TRUE(WaitFor([&] { return Text("StaticXAct1") == "600"; }, 20000));

    server.Stop();
    ASSERT_TRUE(WaitFor([&] { return Text("StaticInfo1") == "The port is gone."; }));
    EXPECT_EQ(Text("StaticInfo2"), "Waiting for it to return...");
    Pump(1200); // tried again each second meanwhile, and still gone
    EXPECT_EQ(Text("StaticInfo2"), "Waiting for it to return...");
    board.ClearTrace();
    ASSERT_TRUE(server.Restart()) << server.Error();
    ASSERT_TRUE(WaitFor([&] { return Text("StaticInfo1") == "The board is active."; }, 5000));
    EXPECT_EQ(Text("StaticXAct1"), "600");
    // Detection and polling only: every telegram on the way back reads.
    for (const auto& frame : Frames(board.Trace().Bytes())) {
        EXPECT_EQ(frame[0] & 0x01, 0x01) << "a write on the way back: " << int(frame[0]);
    }
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST_F(NetworkPortTest, ARawTcpPortSaysOnceThatTheServerKeepsTheLineAndARefusalGivesTheReason) {
    Open(QString::fromStdString(server.Name(1)));
    ASSERT_TRUE(WaitFor([&] { return Text("StaticInfo1") == "The board is active."; }));
    EXPECT_TRUE(Text("StaticInfo2").endsWith("Raw TCP: the line is as the server sets it."))
        << Text("StaticInfo2").toStdString();
    Click("BtnClose");

    const QString nobody = QStringLiteral("127.0.0.1:%1").arg(FreeLoopbackPort());
    Open("rfc2217://" + nobody);
    ASSERT_TRUE(WaitFor([&] { return !messages.texts.isEmpty(); }, 3000));
    EXPECT_EQ(messages.texts[0],
              "Could not open port rfc2217://" + nobody + ".\nnothing listens at " + nobody);
    EXPECT_EQ(Text("StaticInfo1"), "No port opened.");
}

} // namespace
} // namespace vrx::test
