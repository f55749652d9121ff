// Ports that come and go: adapters appear in the list while the program runs, are kept by
// their by-id names, and a lost port is waited for and reopened when it returns.
#include "program_fixture.h"

#include "app/port_combo.h"
#include "chip/telegram.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QSettings>

#include <functional>

namespace vrx::test {
namespace {

using sim::BoardVariant;

const QString kFtdi = QStringLiteral("usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0");
const QString kProlific =
    QStringLiteral("usb-Prolific_Technology_Inc._USB-Serial_Controller_0123-if00-port0");

class LivePortsTest : public ProgramTest {
protected:
    QComboBox* Combo() { return Find<QComboBox>(QStringLiteral("ComboCOM")); }
    bool Listed(const QString& port) { return Combo()->findData(port) >= 0; }
    QString Label(const QString& description, const sim::PtyBoard& board) {
        return description + " on " + QString::fromStdString(board.DevicePath());
    }
};

TEST_F(LivePortsTest, AnAdapterPluggedInAfterStartIsListedWithinTwoSecondsAndOpens) {
    sim::PtyBoard board(BoardVariant::Vrx52xKit);
    ASSERT_TRUE(board.Start()) << board.ErrorText();
    const QString link = LinkAdapter(kFtdi, board);
    ASSERT_TRUE(WaitFor([&] { return Listed(link); }, 2000));
    const int item = Combo()->findData(link);
    EXPECT_EQ(Combo()->itemText(item), Label("FTDI FT232R USB UART (A1B2C3)", board));
    EXPECT_LT(Combo()->findText("COM9"), item);
    EXPECT_GT(Combo()->findText("Simulated board (VRX630)"), item);

    Combo()->setCurrentIndex(item);
    // The box shows the whole label, the list at least as wide.
    const int labelWidth = Combo()->fontMetrics().horizontalAdvance(Combo()->currentText());
    EXPECT_GE(Combo()->lineEdit()->width(), labelWidth);
    Combo()->showPopup();
    ASSERT_TRUE(WaitFor([&] { return Combo()->view()->isVisible(); }));
    EXPECT_GE(Combo()->view()->viewport()->width(), labelWidth);
    Combo()->hidePopup();
    Click("BtnOpen");
    ASSERT_TRUE(WaitFor([&] { return Text("StaticInfo1") == "The board is active."; }));
    EXPECT_EQ(Text("StaticInfo2"), "VRX630/VRX52x evaluation board detected!");
    EXPECT_EQ(Main().SerialPort().DeviceName(), link);
}

TEST_F(LivePortsTest, TheChoiceAndTypedTextSurviveARefresh) {
    sim::PtyBoard board;
    ASSERT_TRUE(board.Start()) << board.ErrorText();
    const QString ftdi = LinkAdapter(kFtdi, board);
    ASSERT_TRUE(WaitFor([&] { return Listed(ftdi); }));
    const QString label = Label("FTDI FT232R USB UART (A1B2C3)", board);
    Combo()->setCurrentIndex(Combo()->findData(ftdi));

    const QString prolific = LinkAdapter(kProlific, board); // a second adapter comes
    ASSERT_TRUE(WaitFor([&] { return Listed(prolific); }));
    EXPECT_EQ(Combo()->currentText(), label);
    EXPECT_EQ(ChosenPort(*Combo()), ftdi);

    Combo()->setEditText("/dev/ttyUSB");
    Combo()->lineEdit()->setCursorPosition(5);
    QFile::remove(prolific); // and goes
    ASSERT_TRUE(WaitFor([&] { return !Listed(prolific); }));
    EXPECT_EQ(Combo()->currentText(), "/dev/ttyUSB");
    EXPECT_EQ(Combo()->lineEdit()->cursorPosition(), 5);

    // A chosen adapter that is pulled stays chosen by its path and is listed again when back.
    Combo()->setCurrentIndex(Combo()->findData(ftdi));
    QFile::remove(ftdi);
    ASSERT_TRUE(WaitFor([&] { return !Listed(ftdi); }));
    EXPECT_EQ(Combo()->currentText(), ftdi);
    LinkAdapter(kFtdi, board);
    ASSERT_TRUE(WaitFor([&] { return Listed(ftdi); }));
    EXPECT_EQ(Combo()->currentText(), label);
}

TEST_F(LivePortsTest, AnAdapterIsSavedByItsPathAndChosenAtTheNextStartWhateverItsDevice) {
    sim::PtyBoard before, after;
    ASSERT_TRUE(before.Start() && after.Start());
    const QString link = LinkAdapter(kFtdi, before);
    ASSERT_TRUE(WaitFor([&] { return Listed(link); }));
    Combo()->setCurrentIndex(Combo()->findData(link));
    Main().close();
    EXPECT_EQ(QSettings(SettingsPath(), QSettings::IniFormat).value("Settings/COMDevice"), link);

    program.reset();
    LinkAdapter(kFtdi, after); // another device number after a reboot
    StartProgram();
    EXPECT_EQ(ChosenPort(*Combo()), link);
    EXPECT_EQ(Combo()->currentText(), Label("FTDI FT232R USB UART (A1B2C3)", after));
}

TEST_F(LivePortsTest, ALostPortIsWaitedForAndReopenedWhenItReturns) {
    sim::LineOptions hangUp;
    hangUp.hangUpAfter = 30;
    sim::PtyBoard first(BoardVariant::Vrx52xKit, hangUp), second(BoardVariant::Vrx52xKit);
    ASSERT_TRUE(first.Start() && second.Start());
    const QString link = LinkAdapter(kFtdi, first);
    ASSERT_TRUE(Find<QCheckBox>("CheckReconnect")->isChecked()) << "ticked by default";
    Open(link);
    ASSERT_TRUE(WaitFor([&] { return Text("StaticInfo1") == "The port is gone."; }));
    EXPECT_EQ(Text("StaticInfo2"), "Waiting for it to return...");
    EXPECT_TRUE(Find("BtnClose")->isEnabled());
    for (const char* name :
         {"BtnOpen", "ComboCOM", "BtnGo1", "BtnStop2", "BtnGoAll", "BtnStopAll"}) {
        EXPECT_FALSE(Find(name)->isEnabled()) << name;
    }
    EXPECT_FALSE(Main().SerialPort().IsOpen());

    // It returns held by another program: the wait says so and goes on.
    TSerialPort other;
    other.SetDeviceName(QString::fromStdString(second.DevicePath()));
    other.Open();
    ASSERT_TRUE(other.IsOpen());
    LinkAdapter(kFtdi, second);
    ASSERT_TRUE(
        WaitFor([&] { return Text("StaticInfo2") == "The port is in use by another program."; }));
    EXPECT_EQ(Text("StaticInfo1"), "The port is gone.");

    other.Close();
    ASSERT_TRUE(WaitFor([&] { return Text("StaticInfo1") == "The board is active."; }, 2000));
    EXPECT_EQ(Text("StaticInfo2"), "VRX630/VRX52x evaluation board detected!");
    EXPECT_TRUE(Find("BtnGo1")->isEnabled());
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join("|").toStdString();
    // Detection and polls only: every telegram the returned board hears is a read.
    ASSERT_TRUE(WaitFor([&] { return Frames(second.Trace().Bytes()).size() >= 10; }));
    for (const auto& f : Frames(second.Trace().Bytes())) {
        EXPECT_TRUE((Telegram{f[0], f[1], f[2], f[3]}.IsRead())) << int(f[0]);
    }
}

TEST_F(LivePortsTest, CloseOrUntickingEndsTheWait) {
    const std::function<void()> ends[] = {
        [&] { Click("BtnClose"); },
        [&] { Find<QCheckBox>("CheckReconnect")->setChecked(false); },
    };
    for (const auto& end : ends) {
        sim::LineOptions hangUp;
        hangUp.hangUpAfter = 10;
        sim::PtyBoard board(BoardVariant::Plain, hangUp), back;
        ASSERT_TRUE(board.Start() && back.Start());
        Find<QCheckBox>("CheckReconnect")->setChecked(true);
        Open(LinkAdapter(kFtdi, board));
        ASSERT_TRUE(WaitFor([&] { return Text("StaticInfo1") == "The port is gone."; }));
        end();
        EXPECT_EQ(Text("StaticInfo1"), "No port opened.");
        EXPECT_TRUE(Find("BtnOpen")->isEnabled());
        LinkAdapter(kFtdi, back);
        Pump(1500);
        EXPECT_FALSE(Main().SerialPort().IsOpen()) << "no longer waited for";
    }
    EXPECT_TRUE(messages.texts.isEmpty());
}

} // namespace
} // namespace vrx::test
