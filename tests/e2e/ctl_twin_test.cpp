// vrx630ctl and the program's windows doing the same thing put the same telegrams on the wire:
// one table of cases, each run once through the command-line tool and once through the
// windows, each against its own simulated board.
#include "program_fixture.h"

#include "chip/ram_file.h"
#include "controls/float_spin_edit.h"
#include "controls/spin_edit.h"
#include "ctl/ctl_run.h"
#include "registers/ram_page.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include <fstream>
#include <functional>
#include <ostream>
#include <set>
#include <sstream>

namespace vrx::test {
namespace {

using Frame = std::array<uint8_t, 4>;

class CtlTwinTest;

struct TwinCase {
    const char* what;
    std::vector<std::string> ctl; // after --port DEVICE; "FILE" stands for the RAM file
    std::set<uint8_t> ownReads;   // reads of the command itself below the RAM's
    std::function<void(CtlTwinTest&)> windows;
};

void PrintTo(const TwinCase& c, std::ostream* os) {
    *os << c.what;
}

class CtlTwinTest : public ProgramTest, public testing::WithParamInterface<TwinCase> {
public:
    using ProgramTest::Click;
    void SetInput(const QString& name, int value) { Find<TSpinEdit>(name)->setValue(value); }
    void SetMode(int motor, int mode) {
        Find<QComboBox>(QStringLiteral("CbRampMode%1").arg(motor))->setCurrentIndex(mode);
    }
    template <class T = QWidget> T* InRegisters(const QString& name) {
        return program->registers.findChild<T*>(name);
    }
    void Press(const QString& name) {
        QTest::mouseClick(InRegisters<QPushButton>(name), Qt::LeftButton);
    }
    void RegisterItem(int page, int item) {
        Click("BtnCmd630");
        InRegisters<QTabWidget>("PageControl")->setCurrentIndex(page);
        const QString list =
            page == 3 ? QStringLiteral("RGGlobalRegs") : QStringLiteral("RGMot%1").arg(page + 1);
        InRegisters<QGroupBox>(list)->findChildren<QRadioButton*>().at(item)->setChecked(true);
    }
    void RamPageWithFile() {
        Click("BtnCmd630");
        InRegisters<QTabWidget>("PageControl")->setCurrentIndex(4);
        RamTable table;
        LoadRamFile(RamText(), table);
        InRegisters<RamPage>("TabRAM")->ShowTable(table);
    }
    static std::string RamText() {
        RamTable table;
        for (int n = 0; n < kRamBytes; ++n) {
            table.SetByte(n, uint8_t(n * 7));
        }
        return RamFileText(table);
    }

protected:
    // The command's frames: polls (reads of no data that are not the command's own) left out.
    static std::vector<Frame> CommandFrames(const std::vector<uint8_t>& wire,
                                            const std::set<uint8_t>& ownReads) {
        std::vector<Frame> frames = Frames(wire);
        std::erase_if(frames, [&](const Frame& f) {
            const bool read = (f[0] & 1) && f[1] == 0 && f[2] == 0 && f[3] == 0;
            return read && f[0] < 0x80 && !ownReads.contains(f[0]);
        });
        return frames;
    }
};

TEST_P(CtlTwinTest, TheToolSendsWhatTheWindowsSend) {
    const TwinCase& c = GetParam();
    const std::string file = dir.filePath("twin.630").toStdString();
    {
        std::ofstream out(file, std::ios::binary);
        out << RamText();
    }

    sim::PtyBoard own;
    ASSERT_TRUE(own.Start());
    std::vector<std::string> args = {"--port", own.DevicePath()};
    for (const std::string& a : c.ctl) {
        args.push_back(a == "FILE" ? file : a);
    }
    std::ostringstream out, err;
    ASSERT_EQ(ctl::Run(args, out, err), 0) << err.str();
    const std::vector<Frame> fromTool = CommandFrames(own.Trace().Bytes(), c.ownReads);

    sim::ServedBoard* board = OpenSimulated("plain");
    ASSERT_NE(board, nullptr);
    board->ClearTrace();
    c.windows(*this);
    ASSERT_TRUE(
        WaitFor([&] { return Main().Link().PollingEnabled && Main().Link().AnswerReceived; }));
    const std::vector<Frame> fromWindows = CommandFrames(board->Trace().Bytes(), c.ownReads);

    EXPECT_FALSE(fromTool.empty());
    EXPECT_EQ(fromTool, fromWindows);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CtlTwinTest,
    testing::Values(
        TwinCase{"move in HOLD",
                 {"move", "1", "--mode", "HOLD", "--velocity", "-5"},
                 {0x15},
                 [](CtlTwinTest& t) {
                     t.SetMode(1, 3);
                     t.SetInput("EditVActual1", -5);
                     t.Click("BtnGo1");
                 }},
        TwinCase{"move in VELOCITY",
                 {"move", "2", "--mode", "VELOCITY", "--velocity", "-100", "--amax", "300"},
                 {0x35},
                 [](CtlTwinTest& t) {
                     t.SetMode(2, 2);
                     t.SetInput("EditVTarget2", -100);
                     t.SetInput("EditAMax2", 300);
                     t.Click("BtnGo2");
                 }},
        TwinCase{"move in RAMP",
                 {"move", "3", "--mode", "RAMP", "--target", "5000", "--vmin", "10", "--vmax",
                  "1000", "--amax", "1000"},
                 {0x55, 0x59},
                 [](CtlTwinTest& t) {
                     t.SetInput("EditXTarget3", 5000);
                     t.SetInput("EditVMin3", 10);
                     t.SetInput("EditVMax3", 1000);
                     t.SetInput("EditAMax3", 1000);
                     t.Click("BtnGo3");
                 }},
        TwinCase{"stop", {"stop", "1"}, {0x15}, [](CtlTwinTest& t) { t.Click("BtnStop1"); }},
        TwinCase{"set a single value",
                 {"set", "A_MAX", "1000", "--motor", "2"},
                 {},
                 [](CtlTwinTest& t) {
                     t.RegisterItem(1, 6);
                     t.InRegisters<TSpinEdit>("EditAMax2")->setValue(1000);
                     t.Press("BtnSendMot2");
                 }},
        TwinCase{"set four fields",
                 {"set", "I_S_AGTAT", "I_S_AGTAT=2", "I_S_ALEAT=3", "I_S_V0=4", "A_THRESHOLD=1500"},
                 {},
                 [](CtlTwinTest& t) {
                     t.RegisterItem(0, 7);
                     t.InRegisters<TSpinEdit>("EditAgtat1")->setValue(2);
                     t.InRegisters<TSpinEdit>("EditAleat1")->setValue(3);
                     t.InRegisters<TSpinEdit>("EditV01")->setValue(4);
                     t.InRegisters<TSpinEdit>("EditThres1")->setValue(1500);
                     t.Press("BtnSendMot1");
                 }},
        TwinCase{"ram write",
                 {"ram", "write", "FILE"},
                 {},
                 [](CtlTwinTest& t) {
                     t.RamPageWithFile();
                     t.Press("BtnWriteRAM");
                 }},
        TwinCase{"ram read",
                 {"ram", "read", "FILE"},
                 {},
                 [](CtlTwinTest& t) {
                     t.RamPageWithFile();
                     t.Press("BtnReadRAM");
                 }},
        TwinCase{"ram shape written",
                 {"ram", "shape", "0.5", "--write"},
                 {},
                 [](CtlTwinTest& t) {
                     t.RamPageWithFile();
                     t.InRegisters<TFloatSpinEdit>("EditSigma")->setValue(0.5);
                     t.Press("BtnShapeCW");
                 }},
        TwinCase{"raw telegram", {"raw", "1D", "00", "00", "00"}, {0x1D}, [](CtlTwinTest& t) {
                     t.RamPageWithFile();
                     t.InRegisters<QLineEdit>("EditSPIMan1")->setText("1D");
                     t.Press("BtnSendSPIMan");
                 }}));

} // namespace
} // namespace vrx::test
