#include "app/app_settings.h"
#include "app/board_variant.h"
#include "app/port_list.h"
#include "serial/port_discovery.h"

#include "support/qt_print.h"
#include <QDir>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include <gtest/gtest.h>

namespace vrx {
namespace {

TEST(PortSetting, MissingFileGivesComOne) {
    QTemporaryDir dir;
    const PortSetting s = ReadPortSetting(dir.filePath("Eval630.ini"));
    EXPECT_EQ(s.comPort, 0);
    EXPECT_TRUE(s.comDevice.isEmpty());
    EXPECT_TRUE(s.reconnect);
    EXPECT_FALSE(s.fastPolling);
    EXPECT_EQ(s.clockMhz, 16);
    EXPECT_TRUE(s.showUnits);
}

TEST(PortSetting, BoardClockAndUnitsAreReadWithinRange) {
    struct Case {
        const char* lines;
        int clockMhz;
        bool showUnits;
    };
    const Case cases[] = {
        {"ClockMHz=32\nShowUnits=0\n", 32, false},
        {"ClockMHz=1\nShowUnits=1\n", 1, true},
        {"ClockMHz=0\n", 16, true}, // outside 1..32: the default, not the nearest end
        {"ClockMHz=33\n", 16, true},
        {"ClockMHz=fast\nShowUnits=maybe\n", 16, true},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("Eval630.ini");
    for (const Case& c : cases) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("[Settings]\n") + c.lines);
        file.close();
        const PortSetting s = ReadPortSetting(path);
        EXPECT_EQ(s.clockMhz, c.clockMhz) << c.lines;
        EXPECT_EQ(s.showUnits, c.showUnits) << c.lines;
    }
    PortSetting written;
    written.clockMhz = 20;
    written.showUnits = false;
    WritePortSetting(path, written);
    EXPECT_EQ(ReadPortSetting(path).clockMhz, 20);
    EXPECT_FALSE(ReadPortSetting(path).showUnits);
}

TEST(PortSetting, WrittenAndReadBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Eval630.ini");
    WritePortSetting(path, {4, QString()});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(file.readAll());
    EXPECT_TRUE(text.contains("[Settings]")) << text.toStdString();
    EXPECT_TRUE(text.contains("COMPort=4")) << text.toStdString();
    EXPECT_TRUE(text.contains("Reconnect=1")) << text.toStdString();
    EXPECT_TRUE(text.contains("FastPolling=0")) << text.toStdString();
    EXPECT_EQ(ReadPortSetting(path).comPort, 4);
    EXPECT_TRUE(ReadPortSetting(path).reconnect);

    WritePortSetting(path, {-1, "/dev/ttyUSB0"});
    EXPECT_EQ(ReadPortSetting(path).comPort, -1);
    EXPECT_EQ(ReadPortSetting(path).comDevice, "/dev/ttyUSB0");
    WritePortSetting(path, {2, QString(), false, true}); // back to a COM port: the device key goes
    EXPECT_TRUE(ReadPortSetting(path).comDevice.isEmpty());
    EXPECT_FALSE(ReadPortSetting(path).reconnect);
    EXPECT_TRUE(ReadPortSetting(path).fastPolling);
}

TEST(PortSetting, AnUnwritableFileIsIgnored) {
    WritePortSetting("/proc/vrx630-no-such-dir/Eval630.ini", {3, QString()});
    EXPECT_EQ(ReadPortSetting("/proc/vrx630-no-such-dir/Eval630.ini").comPort, 0);
}

TEST(PortSetting, ForTheComboChoice) {
    struct Case {
        int index;
        const char* text;
        int comPort;
        const char* device;
    };
    for (const Case& c :
         {Case{2, "COM3", 2, ""}, Case{-1, "", -1, ""},
          Case{10, "/dev/ttyUSB0", -1, "/dev/ttyUSB0"}, Case{-1, "/dev/pts/7", -1, "/dev/pts/7"},
          Case{12, "Simulated board (ZEPHA)", -1, "Simulated board (ZEPHA)"},
          Case{-1, "COM7", 6, ""}}) {
        const PortSetting s = PortSettingFor(c.index, c.text);
        EXPECT_EQ(s.comPort, c.comPort) << c.text;
        EXPECT_EQ(s.comDevice, QString::fromLatin1(c.device)) << c.text;
    }
}

#ifdef _WIN32
TEST(PortChoices, ComPortsThenTheSystemsOthersThenSimulatedBoards) {
    const QList<PortChoice> choices = PortChoices(QString());
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(choices[i].port, QStringLiteral("COM%1").arg(i + 1));
    }
    // Every port the system lists is there once, COM1 to COM9 in their places.
    for (const SerialPortInfo& info : ListSerialPorts()) {
        const QString port = QString::fromStdString(info.port);
        EXPECT_EQ(std::count_if(choices.begin(), choices.end(),
                                [&](const PortChoice& c) { return c.port == port; }),
                  1)
            << info.port;
    }
    ASSERT_GE(choices.size(), 9 + 6);
    EXPECT_EQ(choices[choices.size() - 6].text, SimulatedPorts().first().label);
    EXPECT_EQ(FindSimulatedPort(choices.last().port)->variant, "880");
}
#else
TEST(PortChoices, ComPortsThenAdaptersThenSimulatedBoards) {
    QTemporaryDir dev;
    for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS4", "sda"}) {
        QFile(dev.filePath(name)).open(QIODevice::WriteOnly);
    }
    ASSERT_TRUE(QDir(dev.path()).mkpath("serial/by-id"));
    const QString link = dev.filePath("serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0");
    ASSERT_TRUE(QFile::link("../../ttyUSB2", link));
    const QList<PortChoice> choices = PortChoices(dev.path());
    ASSERT_EQ(choices.size(), 9 + 3 + 6);
    EXPECT_EQ(choices.first(), (PortChoice{"COM1", "COM1"}));
    EXPECT_EQ(choices[8], (PortChoice{"COM9", "COM9"}));
    // The adapter shows its description and opens its by-id path.
    EXPECT_EQ(choices[9], (PortChoice{"FTDI FT232R USB UART (A1B2C3) on ttyUSB2", link}));
    EXPECT_EQ(choices[10].port, dev.filePath("ttyACM0"));
    EXPECT_EQ(choices[11].text, dev.filePath("ttyUSB10"));
    EXPECT_EQ(choices[12].text, SimulatedPorts().first().label);
    EXPECT_EQ(FindSimulatedPort(choices.last().port)->variant, "880");
    EXPECT_FALSE(FindSimulatedPort("COM1").has_value());
}
#endif

TEST(DetectedText, FirstFlagInTableOrder) {
    BoardVariant v;
    EXPECT_EQ(DetectedText(v), "VRX630 evaluation board detected!");
    v.Set(BoardKind::Kit880);
    EXPECT_EQ(DetectedText(v), "VRX630/VRX880 evaluation board detected!");
    v.Set(BoardKind::Kit52x);
    EXPECT_EQ(DetectedText(v), "VRX630/VRX52x evaluation board detected!");
    v.Set(BoardKind::Kit516);
    EXPECT_EQ(DetectedText(v), "VRX630/VRX516 evaluation board detected!");
    v.Vrx515 = true;
    EXPECT_EQ(DetectedText(v), "VRX515 evaluation board detected!");
    v.Set(BoardKind::Balsen);
    EXPECT_EQ(DetectedText(v), "Balsen detected!");
    v.Set(BoardKind::Zepha);
    EXPECT_EQ(DetectedText(v), "ZEPHA detected!");
    v.StartDetection(); // every flag, the kit flags too: the next board is announced as itself
    EXPECT_FALSE(v.Zepha || v.Balsen || v.Vrx515 || v.Kit516 || v.Kit52x || v.Kit880);
    EXPECT_EQ(DetectedText(v), "VRX630 evaluation board detected!");
}

} // namespace
} // namespace vrx
