// Every sender of the program against every fault of the line: a silent board, a late board,
// split replies, an extra byte after each reply, and a board that hangs up. Whatever happens,
// the sender ends, at most one command is ever on the line, polling is restored, and the user
// is told at most once (a lost port is waited for, without a message). A short reply timeout keeps
// the many timeouts quick.
#include "program_fixture.h"
#include "wire_commands.h"

#include "chip/ram_table.h"
#include "registers/ram_page.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>

#include <ostream>
#include <set>

namespace vrx::test {
namespace {

constexpr uint32_t kTimeout = 300; // the reply timeout of these tests, in ms

enum class Fault { Silent, Late, Split, ExtraByte, HangUp };

struct Sender {
    const char* name;
    const char* variant;
    std::set<uint8_t> telegrams; // first bytes of its own telegrams; empty: board commands
    int complete;                // its telegrams or board commands when all goes well
};

struct MatrixCase {
    Sender sender;
    Fault fault;
};

void PrintTo(const MatrixCase& c, std::ostream* os) {
    static const char* const kFaults[] = {"silent", "late", "split", "extra byte", "hang-up"};
    *os << c.sender.name << " / " << kFaults[int(c.fault)];
}

std::set<uint8_t> Range(int first, int last, int step) {
    std::set<uint8_t> bytes;
    for (int b = first; b <= last; b += step) {
        bytes.insert(uint8_t(b));
    }
    return bytes;
}

class FaultMatrixTest : public ProgramTest, public testing::WithParamInterface<MatrixCase> {
protected:
    void SetUp() override {
        replyTimeoutMs = kTimeout;
        ProgramTest::SetUp();
        board = OpenSimulated(GetParam().sender.variant);
        ASSERT_NE(board, nullptr);
    }
    template <class T = QWidget> T* InRegisters(const char* name) {
        return program->registers.findChild<T*>(name);
    }
    void ShowRamPage() {
        Click("BtnCmd630");
        InRegisters<QTabWidget>("PageControl")->setCurrentIndex(4);
    }
    QWidget* DriverWindow(const char* name) {
        for (QWidget* w : Main().findChildren<QWidget*>(name)) {
            return w;
        }
        return nullptr;
    }
    void Prepare(const std::string& name) {
        if (name == "Go") {
            Find<QComboBox>("CbRampMode1")->setCurrentIndex(3); // HOLD: three telegrams
        } else if (name == "register Send") {
            Click("BtnCmd630");
        } else if (name == "RAM write") {
            ShowRamPage();
            RamTable table;
            for (int n = 0; n < kRamBytes; ++n) {
                table.SetByte(n, uint8_t(n));
            }
            InRegisters<RamPage>("TabRAM")->ShowTable(table);
        } else if (name == "RAM read" || name == "Calculate & Write" || name == "manual") {
            ShowRamPage();
            InRegisters<QLineEdit>("EditSPIMan1")->setText("1D");
        } else if (name == "Apply" || name == "stall slider") {
            Click("BtnVRX640");
        }
    }
    void Act(const std::string& name) {
        const auto press = [](QWidget* button) {
            QTest::mouseClick(qobject_cast<QPushButton*>(button), Qt::LeftButton);
        };
        if (name == "Go") {
            Click("BtnGo1");
        } else if (name == "Stop") {
            Click("BtnStop1");
        } else if (name == "register Send") {
            press(InRegisters("BtnSendMot1"));
        } else if (name == "RAM read") {
            press(InRegisters("BtnReadRAM"));
        } else if (name == "RAM write") {
            press(InRegisters("BtnWriteRAM"));
        } else if (name == "Calculate & Write") {
            press(InRegisters("BtnShapeCW"));
        } else if (name == "manual") {
            press(InRegisters("BtnSendSPIMan"));
        } else if (name == "Apply") {
            press(DriverWindow("FormVRX516")->findChild<QPushButton*>("BtnApply"));
        } else if (name == "stall slider") {
            DriverWindow("FormVRX52x")->findChild<QSlider*>("StallSlider529")->setValue(4);
        }
    }
    static sim::LineOptions Options(Fault fault) {
        sim::LineOptions options;
        switch (fault) {
        case Fault::Silent:
            options.silent = true;
            break;
        case Fault::Late:
            options.delayMs = int(kTimeout) * 5 / 4;
            break;
        case Fault::Split:
            options.splitGapMs = 5;
            break;
        case Fault::ExtraByte:
            options.extraByte = true;
            break;
        case Fault::HangUp:
            options.hangUpAfter = 0;
            break;
        }
        return options;
    }

    sim::ServedBoard* board = nullptr;
};

TEST_P(FaultMatrixTest, TheSenderEndsOneCommandAtATimePollingIsRestoredAndTheUserToldOnce) {
    const Sender& sender = GetParam().sender;
    const Fault fault = GetParam().fault;
    const bool answers = !sender.telegrams.empty();
    Prepare(sender.name);
    Pump(100); // what opening a window sends has reached the board
    ASSERT_TRUE(
        WaitFor([&] { return Main().Link().PollingEnabled && Main().Link().AnswerReceived; }));
    messages.texts.clear();
    board->ClearTrace();
    board->SetOptions(Options(fault));
    // The sender's own telegrams (or board commands) on the wire.
    const auto own = [&] {
        int count = 0;
        for (const Command& command : Commands(board->Received())) {
            const bool frame = command.bytes.size() == 5;
            count += answers ? frame && sender.telegrams.contains(command.bytes[1])
                             : command.bytes.size() == 3;
        }
        return count;
    };

    QElapsedTimer clock;
    clock.start();
    Act(sender.name); // the sender runs inside the click
    // It ends within its wait for the poll in flight, the quiet after that poll's timeout,
    // and one reply timeout of its own; everything else is the work it does.
    EXPECT_LT(clock.elapsed(), 4 * kTimeout + 1500);
    EXPECT_TRUE(Main().Link().PollingEnabled);
    const auto settled = [&] {
        switch (fault) {
        case Fault::Silent:
        case Fault::Late:
            return Text("StaticInfo1") == "The board does not respond.";
        case Fault::Split:
            return own() == sender.complete;
        case Fault::ExtraByte:
            return own() >= 1;
        case Fault::HangUp:
            return !Main().SerialPort().IsOpen() && Text("StaticInfo1") == "The port is gone.";
        }
        return false;
    };
    EXPECT_TRUE(WaitFor(settled, 4 * kTimeout));

    // Never a command sent while another one waits for its reply, unless the reply timeout
    // has passed.
    const auto onTop =
        CommandsOnTopOfAnother(board->Received(), board->SentTrace().Entries(), kTimeout);
    EXPECT_TRUE(onTop.empty()) << onTop.front();
    switch (fault) {
    case Fault::Silent:
    case Fault::Late:
        // It stops at its first unanswered telegram; board commands expect no answer.
        EXPECT_EQ(own(), answers ? 1 : sender.complete);
        EXPECT_LE(messages.texts.size(), 1);
        break;
    case Fault::Split:
        EXPECT_TRUE(messages.texts.isEmpty());
        break;
    case Fault::ExtraByte:
        EXPECT_LE(messages.texts.size(), 1);
        break;
    case Fault::HangUp:
        EXPECT_LE(own(), answers ? 1 : sender.complete);
        EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join("|").toStdString();
        break;
    }
}

const Sender kSenders[] = {
    {"Go", "plain", {0x15, 0x14, 0x0A}, 3},
    {"Stop", "plain", {0x15, 0x14, 0x08, 0x0A}, 4},
    {"register Send", "plain", {0x00}, 1},
    {"RAM read", "plain", Range(0x81, 0xFF, 2), 64},
    {"RAM write", "plain", Range(0x80, 0xFE, 2), 64},
    {"Calculate & Write", "plain", Range(0xC0, 0xFE, 2), 32},
    {"manual", "plain", {0x1D}, 1},
    {"Apply", "516", {}, 3},
    {"stall slider", "52x", {}, 1},
};

std::vector<MatrixCase> AllCases() {
    std::vector<MatrixCase> cases;
    for (const Sender& sender : kSenders) {
        for (Fault fault :
             {Fault::Silent, Fault::Late, Fault::Split, Fault::ExtraByte, Fault::HangUp}) {
            cases.push_back({sender, fault});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(SendersAndFaults, FaultMatrixTest, testing::ValuesIn(AllCases()));

} // namespace
} // namespace vrx::test
