// The life of a connection: open, identification, announcement, silence, recovery, close.
#include "program_fixture.h"

#include "app/version.h"
#include "controls/led_little.h"
#include "controls/spin_edit.h"

#include <QSettings>

namespace vrx::test {
namespace {

using sim::BoardVariant;

class ConnectionTest : public ProgramTest {};

TEST_F(ConnectionTest, StartsWithNoPortAndTheVersionInTheTitle) {
    const QString title = "VRX630 Evaluation Kit V" + ShortVersion(ProgramFileVersion());
    EXPECT_EQ(Main().windowTitle(), title);
    EXPECT_EQ(Main().BaseCaption(), title);
    EXPECT_EQ(Text("StaticInfo1"), "No port opened.");
    EXPECT_EQ(Text("StaticInfo2"), "Select a port, then click \"Open\".");
    EXPECT_TRUE(Find("BtnOpen")->isEnabled());
    EXPECT_TRUE(Find("ComboCOM")->isEnabled());
    for (const char* name :
         {"BtnClose", "BtnCmd630", "BtnGo1", "BtnStop3", "BtnGoAll", "BtnStopAll", "BtnVRX640"}) {
        EXPECT_FALSE(Find(name)->isEnabled()) << name;
    }
    EXPECT_TRUE(Find("BtnGraphics")->isEnabled()) << "the history is there to be looked at";
    EXPECT_FALSE(Find("BtnVRX640")->isVisible());
    EXPECT_FALSE(Find("CheckSlow")->isVisible());
    EXPECT_EQ(Find<QComboBox>("ComboCOM")->currentText(), "COM1");
    EXPECT_EQ(Find<TLedLittle>("LedXReached1")->LedColor(), lcBlack);
    // Fixed size: the window cannot grow beyond its design.
    EXPECT_EQ(Main().maximumSize(), Main().size());
    EXPECT_FALSE(Main().windowFlags() & Qt::WindowMaximizeButtonHint);
}

struct VariantCase {
    const char* variant;
    const char* title; // after the short version
    const char* detected;
    const char* driverButton; // caption, or nullptr when the button stays hidden
};

class IdentificationTest : public ProgramTest, public testing::WithParamInterface<VariantCase> {};

TEST_P(IdentificationTest, TitleAnnouncementAndDriverButton) {
    const VariantCase& c = GetParam();
    ASSERT_NE(OpenSimulated(c.variant), nullptr);
    const QString version = ShortVersion(ProgramFileVersion());
    EXPECT_EQ(Main().windowTitle(), QString::fromUtf8(c.title).arg(version));
    EXPECT_EQ(Text("StaticInfo2"), c.detected);
    auto* button = Find<QPushButton>("BtnVRX640");
    EXPECT_EQ(button->isVisible(), c.driverButton != nullptr);
    if (c.driverButton != nullptr) {
        EXPECT_EQ(button->text(), c.driverButton);
        EXPECT_TRUE(button->isEnabled());
    }
    EXPECT_FALSE(Find("BtnOpen")->isEnabled());
    EXPECT_FALSE(Find("ComboCOM")->isEnabled());
    for (const char* name :
         {"BtnClose", "BtnCmd630", "BtnGraphics", "BtnGo2", "BtnStop1", "BtnGoAll", "BtnStopAll"}) {
        EXPECT_TRUE(Find(name)->isEnabled()) << name;
    }
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join("|").toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Variants, IdentificationTest,
    testing::Values(VariantCase{"plain", "VRX630 Evaluation Kit V%1",
                                "VRX630 evaluation board detected!", nullptr},
                    VariantCase{"zepha", "VRX630 Evaluation Kit V%1 (ZEPHA Version)",
                                "ZEPHA detected!", nullptr},
                    VariantCase{"balsen", "VRX630 Evaluation Kit V%1 (Balsen Version)",
                                "Balsen detected!", nullptr},
                    VariantCase{"516", "VRX630/VRX516 Evalutation Kit V%1",
                                "VRX630/VRX516 evaluation board detected!",
                                "VRX5&16 Parameters..."},
                    VariantCase{"52x", "VRX630/VRX52x Evalutation Kit V%1",
                                "VRX630/VRX52x evaluation board detected!", "VRX52x LoadMeter..."},
                    VariantCase{"880", "VRX630/VRX880 Evaluation Kit V%1",
                                "VRX630/VRX880 evaluation board detected!", "VRX880..."}),
    [](const testing::TestParamInfo<VariantCase>& info) {
        return std::string("V") + info.param.variant;
    });

TEST_F(ConnectionTest, EveryControlNameIsUniqueInItsWindow) {
    QList<QWidget*> windows = {&program->main, &program->registers, &program->graphics,
                               &program->warning};
    for (QWidget* child : program->main.findChildren<QWidget*>()) {
        if (child->isWindow()) {
            windows << child; // the driver-chip windows
        }
    }
    for (QWidget* window : windows) {
        QSet<QString> seen;
        for (QObject* child : window->findChildren<QObject*>()) {
            const QString name = child->objectName();
            QObject* owner = child->parent();
            while (owner != nullptr && !owner->isWidgetType()) {
                owner = owner->parent();
            }
            const bool ownWindow = static_cast<QWidget*>(owner)->window() == window &&
                                   !(child->isWidgetType() && child != window &&
                                     static_cast<QWidget*>(child)->isWindow());
            if (name.isEmpty() || name.startsWith("qt_") || !ownWindow) {
                continue; // unnamed, Qt's own, or part of another window
            }
            EXPECT_FALSE(seen.contains(name))
                << window->objectName().toStdString() << ": " << name.toStdString();
            seen.insert(name);
        }
    }
}

TEST_F(ConnectionTest, ASilentBoardIsReportedAndAnnouncedAgainWhenItAnswers) {
    sim::PtyBoard board(BoardVariant::Vrx52xKit);
    ASSERT_TRUE(board.Start()) << board.ErrorText();
    sim::LineOptions silent;
    silent.silent = true;
    board.SetOptions(silent);
    Open(QString::fromStdString(board.DevicePath()));
    EXPECT_EQ(Text("StaticInfo1"), "Trying to detect the board.");
    EXPECT_EQ(Text("StaticInfo2"), "");
    ASSERT_TRUE(WaitFor([&] { return Text("StaticInfo1") == "The board does not respond."; }));
    EXPECT_EQ(Text("StaticInfo2"), "Please check the cable and power.");
    EXPECT_TRUE(Find("BtnClose")->isEnabled()) << "the port stays open";

    board.SetOptions({});
    ASSERT_TRUE(WaitFor([&] { return Text("StaticInfo1") == "The board is active."; }));
    // The detection timed out, so the board is announced by the flags as they stand.
    EXPECT_EQ(Text("StaticInfo2"), "VRX630 evaluation board detected!");
    EXPECT_TRUE(messages.texts.isEmpty());
}

// The program's own simulated board as a user gets it: the kit's wire time, the board clock set
// in the window (before the open and while open), and no bytes kept over a long run.
class KitLikeBoardTest : public ProgramTest {
protected:
    void SetUp() override {
        const FormMainOptions program;
        simulatedWireTiming = program.simulatedWireTiming;
        simulatedTraceLimit = program.simulatedTraceLimit;
        ProgramTest::SetUp();
    }
};

TEST_F(KitLikeBoardTest, RunsAtTheBoardClockAndTheWiresPace) {
    Find<TSpinEdit>("EditClockMHz")->setValue(32);
    sim::ServedBoard* board = OpenSimulated("52x");
    ASSERT_NE(board, nullptr);
    const auto clock = [board] {
        return board->With([](sim::SimulatedBoard& b) { return b.Model().ClockMhz(); });
    };
    EXPECT_EQ(clock(), 32);
    Find<TSpinEdit>("EditClockMHz")->setValue(20);
    EXPECT_EQ(clock(), 20);
    EXPECT_TRUE(board->Options().wireTiming);
    EXPECT_EQ(board->Trace().Size(), 0u);
}

TEST_F(ConnectionTest, CloseReturnsToNoPort) {
    OpenSimulated("plain");
    Click("BtnClose");
    EXPECT_EQ(Text("StaticInfo1"), "No port opened.");
    EXPECT_EQ(Text("StaticInfo2"), "Select a port, then click \"Open\".");
    EXPECT_TRUE(Find("BtnOpen")->isEnabled());
    EXPECT_TRUE(Find("ComboCOM")->isEnabled());
    for (const char* name :
         {"BtnClose", "BtnCmd630", "BtnGo1", "BtnStop2", "BtnGoAll", "BtnStopAll"}) {
        EXPECT_FALSE(Find(name)->isEnabled()) << name;
    }
    EXPECT_FALSE(Main().SerialPort().IsOpen());
}

TEST_F(ConnectionTest, ZephaSwitchesToTheSixByteFrameAndTheNextOpenSwitchesBack) {
    sim::ServedBoard* board = OpenSimulated("zepha");
    ASSERT_NE(board, nullptr);
    auto* slow = Find<QCheckBox>("CheckSlow");
    EXPECT_TRUE(slow->isVisible());
    EXPECT_TRUE(slow->isEnabled());
    board->ClearTrace();
    ASSERT_TRUE(WaitFor([&] { return board->Trace().Size() >= 30; }));
    std::vector<uint8_t> wire = board->Trace().Bytes();
    // Every poll now goes as "#", 0x04 and four bytes.
    const auto start = std::find(wire.begin(), wire.end(), 0x23);
    ASSERT_NE(start, wire.end());
    EXPECT_EQ(*(start + 1), 0x04);
    EXPECT_EQ(*(start + 6), 0x23);
    EXPECT_EQ(*(start + 7), 0x04);

    slow->setChecked(true);
    board->ClearTrace();
    ASSERT_TRUE(WaitFor([&] { return board->Trace().Size() > 12; }));
    wire = board->Trace().Bytes();
    EXPECT_NE(std::find(wire.begin(), wire.end(), 0x21), wire.end()) << "slow SPI uses \"!\"";

    Click("BtnClose");
    sim::PtyBoard plain(BoardVariant::Plain);
    ASSERT_TRUE(plain.Start());
    OpenBoard(plain);
    ASSERT_TRUE(WaitFor([&] { return Text("StaticInfo1") == "The board is active."; }));
    EXPECT_EQ(Text("StaticInfo2"), "VRX630 evaluation board detected!");
    EXPECT_FALSE(slow->isVisible()) << "the option belongs to a ZEPHA board";
    EXPECT_FALSE(slow->isChecked());
    plain.ClearTrace();
    ASSERT_TRUE(WaitFor([&] { return plain.Trace().Size() >= 30; }));
    const std::vector<uint8_t> after = plain.Trace().Bytes();
    const auto first = std::find(after.begin(), after.end(), 0x23);
    ASSERT_NE(first, after.end());
    EXPECT_NE(*(first + 1), 0x04);
    EXPECT_EQ(*(first + 5), 0x23) << "five-byte frames again";
}

// One board after another in one run: each is announced, titled and given the driver-chip
// button and window of its own, never those of the board before it.
TEST_F(ConnectionTest, EachBoardInTurnShowsItselfAndOpensOnlyItsOwnWindow) {
    struct Step {
        const char* variant;
        const char* title;
        const char* detected;
        const char* driverButton; // nullptr: hidden
        const char* window;       // the driver-chip window the button shows
    };
    const Step steps[] = {
        {"52x", "VRX630/VRX52x Evalutation Kit V%1", "VRX630/VRX52x evaluation board detected!",
         "VRX52x LoadMeter...", "VRX526 / VRX529 LoadMeter & Error Flags"},
        {"plain", "VRX630 Evaluation Kit V%1", "VRX630 evaluation board detected!", nullptr,
         nullptr},
        {"516", "VRX630/VRX516 Evalutation Kit V%1", "VRX630/VRX516 evaluation board detected!",
         "VRX5&16 Parameters...", "VRX516 Parameters"},
        {"880", "VRX630/VRX880 Evaluation Kit V%1", "VRX630/VRX880 evaluation board detected!",
         "VRX880...", "VRX880 Registers"},
    };
    const QString version = ShortVersion(ProgramFileVersion());
    const auto shownDriverWindows = [] {
        QStringList titles;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->parentWidget() != nullptr) { // owned by the main window
                titles << w->windowTitle();
            }
        }
        return titles;
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.variant);
        ASSERT_NE(OpenSimulated(step.variant), nullptr);
        EXPECT_EQ(Main().windowTitle(), QString::fromUtf8(step.title).arg(version));
        EXPECT_EQ(Text("StaticInfo2"), step.detected);
        auto* button = Find<QPushButton>("BtnVRX640");
        ASSERT_EQ(button->isVisible(), step.driverButton != nullptr);
        if (step.driverButton != nullptr) {
            EXPECT_EQ(button->text(), step.driverButton);
            Click("BtnVRX640");
            EXPECT_EQ(shownDriverWindows(), QStringList{step.window});
        }
        Click("BtnClose");
        EXPECT_TRUE(shownDriverWindows().isEmpty());
    }
}

TEST_F(ConnectionTest, APortThatCannotBeOpenedIsReported) {
    Open("/dev/vrx630-no-such-port");
    ASSERT_TRUE(WaitFor([&] { return !messages.texts.isEmpty(); }));
    EXPECT_TRUE(messages.texts[0].startsWith("Could not open port /dev/vrx630-no-such-port."));
    EXPECT_TRUE(messages.texts[0].contains("does not exist"));
    EXPECT_EQ(Text("StaticInfo1"), "No port opened.");

    messages.texts.clear();
    Open("");
    ASSERT_TRUE(WaitFor([&] { return !messages.texts.isEmpty(); }));
    EXPECT_EQ(messages.texts[0], "Could not open port .");
}

TEST_F(ConnectionTest, APortHeldByAnotherProgramIsReportedWithTheReason) {
    sim::PtyBoard board;
    ASSERT_TRUE(board.Start());
    TSerialPort other;
    other.SetDeviceName(QString::fromStdString(board.DevicePath()));
    other.Open();
    ASSERT_TRUE(other.IsOpen());
    OpenBoard(board);
    ASSERT_TRUE(WaitFor([&] { return !messages.texts.isEmpty(); }));
    EXPECT_TRUE(messages.texts[0].contains("in use by another program"))
        << messages.texts[0].toStdString();
}

TEST_F(ConnectionTest, WithoutReconnectABoardThatHangsUpGivesOneMessageAndNoPort) {
    Main().close();
    program.reset();
    QSettings(SettingsPath(), QSettings::IniFormat).setValue("Settings/Reconnect", 0);
    StartProgram();
    EXPECT_FALSE(Find<QCheckBox>("CheckReconnect")->isChecked());
    sim::PtyBoard board;
    sim::LineOptions options;
    options.hangUpAfter = 30;
    board.SetOptions(options);
    ASSERT_TRUE(board.Start());
    OpenBoard(board);
    ASSERT_TRUE(WaitFor([&] { return Text("StaticInfo1") == "No port opened."; }));
    test::Pump(100);
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts[0].contains("no longer available"));
    EXPECT_TRUE(Find("BtnOpen")->isEnabled());
    EXPECT_FALSE(Main().SerialPort().IsOpen());
}

class SettingsTest : public ProgramTest {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); } // the program starts per test
    int WrittenComPort() {
        QSettings ini(SettingsPath(), QSettings::IniFormat);
        return ini.value("Settings/COMPort", 999).toInt();
    }
};

TEST_F(SettingsTest, FirstStartPreselectsCom1AndClosingWritesTheIndex) {
    ASSERT_FALSE(QFile::exists(SettingsPath()));
    StartProgram();
    auto* combo = Find<QComboBox>("ComboCOM");
    EXPECT_EQ(combo->currentText(), "COM1");
    combo->setCurrentIndex(2);
    Main().close();
    EXPECT_EQ(WrittenComPort(), 2);
}

TEST_F(SettingsTest, FastPollingIsOffAtFirstAndKeptOverAStart) {
    StartProgram();
    auto* fast = Find<QCheckBox>("CheckFastPoll");
    EXPECT_FALSE(fast->isChecked());
    fast->setChecked(true);
    Main().close();
    EXPECT_EQ(QSettings(SettingsPath(), QSettings::IniFormat).value("Settings/FastPolling"), 1);
    program.reset();
    StartProgram();
    EXPECT_TRUE(Find<QCheckBox>("CheckFastPoll")->isChecked());
}

// Started with steps/s hidden, the window is as large as with them, so ticking shows them whole.
TEST_F(SettingsTest, BoardClockAndShowUnitsAreKeptOverAStartAndTheWindowKeepsItsSize) {
    StartProgram();
    const QSize size = Main().size();
    Find<TSpinEdit>("EditClockMHz")->setValue(24);
    Find<QCheckBox>("ShowUnits")->setChecked(false);
    Main().close();
    QSettings ini(SettingsPath(), QSettings::IniFormat);
    EXPECT_EQ(ini.value("Settings/ClockMHz"), 24);
    EXPECT_EQ(ini.value("Settings/ShowUnits"), 0);
    program.reset();
    StartProgram();
    EXPECT_EQ(Find<TSpinEdit>("EditClockMHz")->value(), 24);
    EXPECT_TRUE(Find("UnitsEditVMax1")->isHidden());
    EXPECT_EQ(Main().size(), size);
    Find<QCheckBox>("ShowUnits")->setChecked(true);
    QWidget* units = Find("UnitsEditVMax1");
    EXPECT_TRUE(units->isVisible());
    EXPECT_GE(units->width(), units->minimumWidth());
}

TEST_F(SettingsTest, AnIndexOutsideTheComPortsSelectsNoneAndClosingWritesMinusOne) {
    {
        QSettings ini(SettingsPath(), QSettings::IniFormat);
        ini.setValue("Settings/COMPort", 12);
    }
    StartProgram();
    EXPECT_EQ(Find<QComboBox>("ComboCOM")->currentIndex(), -1);
    EXPECT_EQ(Find<QComboBox>("ComboCOM")->currentText(), "");
    Main().close();
    EXPECT_EQ(WrittenComPort(), -1);
}

TEST_F(SettingsTest, ASimulatedBoardDevicePathOrNetworkPortComesBackAtTheNextStart) {
    StartProgram();
    Find<QComboBox>("ComboCOM")->setEditText("Simulated board (VRX52x kit)");
    Main().close();
    program.reset();
    StartProgram();
    EXPECT_EQ(Find<QComboBox>("ComboCOM")->currentText(), "Simulated board (VRX52x kit)");
    for (const char* typed : {"/dev/ttyUSB7", "rfc2217://127.0.0.1:2217"}) {
        Find<QComboBox>("ComboCOM")->setEditText(typed);
        Main().close();
        program.reset();
        StartProgram();
        EXPECT_EQ(Find<QComboBox>("ComboCOM")->currentText(), typed);
    }
}

} // namespace
} // namespace vrx::test
