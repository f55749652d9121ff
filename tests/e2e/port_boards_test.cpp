// The program against boards on serial ports, as on a bench: every board variant identified and
// announced, and a session on one: a RAMP Go with its exact telegrams, a register written from
// the register window, a configuration saved and applied, a recording, the plot fed. Under Wine
// the boards are simulated boards of the Linux build on COM ports of the Wine prefix, named
// with the files their received bytes are traced to in VRX_E2E_BOARDS
// ("52x=COM12=Z:\\tmp\\52x.trace;plain=COM11=..."); elsewhere the test serves its own on
// pseudo-terminals. The files of the session have names beyond ASCII.
#include "program_fixture.h"

#include "chip/ramp_calc.h"
#include "controls/file_dialog.h"
#include "controls/spin_edit.h"
#include "registers/form_advanced.h"

#include <QFile>
#include <QGroupBox>
#include <QRadioButton>
#include <QTabWidget>

#include <functional>
#include <map>

namespace vrx::test {
namespace {

using Frame = std::array<uint8_t, 4>;

const QString kConfigName = QStringLiteral("Prüfstand-Ω.toml");
const QString kRecordingName = QStringLiteral("Messung-Ωμ.csv");

// A board on a port, and the bytes it has received.
struct PortBoard {
    QString port;
    std::function<std::vector<uint8_t>()> received;
};

// "12.5 0x23" per received byte, as vrx630-sim --trace writes them.
std::vector<uint8_t> TracedBytes(const QString& path) {
    QFile file(path);
    std::vector<uint8_t> bytes;
    if (!file.open(QIODevice::ReadOnly)) {
        return bytes;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 2 && fields[1].startsWith("0x")) {
            bytes.push_back(uint8_t(fields[1].mid(2).toUInt(nullptr, 16)));
        }
    }
    return bytes;
}

class PortBoardsTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        saved_ = ChooseFile;
        ChooseFile = [this](QWidget*, const FileDialogRequest& request) {
            // Names beyond ASCII, and beyond the ANSI code pages of Western Windows.
            return dir.filePath(request.filters.value(0).contains("toml") ? kConfigName
                                                                          : kRecordingName);
        };
        const QString named = qEnvironmentVariable("VRX_E2E_BOARDS");
        for (const QString& entry : named.split(';', Qt::SkipEmptyParts)) {
            const QStringList parts = entry.split('=');
            ASSERT_EQ(parts.size(), 3) << entry.toStdString();
            const QString trace = parts[2];
            boards_[parts[0]] = {parts[1], [trace] { return TracedBytes(trace); }};
        }
#ifdef _WIN32
        ASSERT_FALSE(boards_.empty()) << "VRX_E2E_BOARDS names no boards";
#else
        if (boards_.empty()) {
            for (const char* variant : {"plain", "zepha", "balsen", "516", "52x", "880"}) {
                auto& board = local_.emplace_back(
                    std::make_unique<sim::PtyBoard>(*sim::ParseVariant(variant)));
                ASSERT_TRUE(board->Start()) << board->ErrorText();
                sim::PtyBoard* b = board.get();
                boards_[variant] = {QString::fromStdString(b->DevicePath()),
                                    [b] { return b->Trace().Bytes(); }};
            }
        }
#endif
    }
    void TearDown() override {
        ChooseFile = saved_;
        ProgramTest::TearDown();
    }

    // Opens the board of a variant and waits for its announcement.
    PortBoard& OpenBoard(const QString& variant) {
        EXPECT_TRUE(boards_.contains(variant)) << variant.toStdString();
        PortBoard& board = boards_[variant];
        Open(board.port);
        EXPECT_TRUE(WaitFor([&] { return Text("StaticInfo1") == "The board is active."; }, 5000))
            << Text("StaticInfo1").toStdString();
        return board;
    }
    // The writes among the frames the board received since `mark` bytes.
    static std::vector<Frame> WritesSince(const PortBoard& board, size_t mark) {
        const std::vector<uint8_t> bytes = board.received();
        std::vector<Frame> writes =
            Frames({bytes.begin() + std::min(mark, bytes.size()), bytes.end()});
        std::erase_if(writes, [](const Frame& f) { return (f[0] & 1) != 0; });
        return writes;
    }
    bool Polling() {
        return Main().Link().PollingEnabled && Main().Link().AnswerReceived;
    }
    template <class T = QWidget> T* InRegisters(const char* name) {
        T* widget = program->registers.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void RegisterPage(int page) {
        InRegisters<QTabWidget>("PageControl")->setCurrentIndex(page);
    }
    // A_MAX of motor 2 written from the register window.
    void SendAMax2(int value) {
        RegisterPage(1);
        InRegisters<QGroupBox>("RGMot2")->findChildren<QRadioButton*>().at(6)->setChecked(true);
        InRegisters<TSpinEdit>("EditAMax2")->setValue(value);
        QTest::mouseClick(InRegisters<QPushButton>("BtnSendMot2"), Qt::LeftButton);
        ASSERT_TRUE(WaitFor([&] { return Polling(); }));
    }

    std::map<QString, PortBoard> boards_;

private:
#ifndef _WIN32
    std::vector<std::unique_ptr<sim::PtyBoard>> local_;
#endif
    FileDialogFunction saved_;
};

TEST_F(PortBoardsTest, EachVariantIsIdentifiedAndAnnounced) {
    const std::pair<const char*, const char*> variants[] = {
        {"plain", "VRX630 evaluation board detected!"},
        {"zepha", "ZEPHA detected!"},
        {"balsen", "Balsen detected!"},
        {"516", "VRX630/VRX516 evaluation board detected!"},
        {"52x", "VRX630/VRX52x evaluation board detected!"},
        {"880", "VRX630/VRX880 evaluation board detected!"},
    };
    for (const auto& [variant, detected] : variants) {
        OpenBoard(variant);
        EXPECT_EQ(Text("StaticInfo2"), detected) << variant;
        Click("BtnClose");
    }
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join('|').toStdString();
}

TEST_F(PortBoardsTest, ASessionOnABoard) {
    const PortBoard& board = OpenBoard("52x");

    // A RAMP Go, on a board fresh from power-up (both dividers 0).
    ASSERT_GE(1000, MinAMax(0, 0));
    Find<TSpinEdit>("EditXTarget1")->setValue(300);
    Find<TSpinEdit>("EditVMax1")->setValue(1000);
    Find<TSpinEdit>("EditVMin1")->setValue(1);
    Find<TSpinEdit>("EditAMax1")->setValue(1000);
    size_t mark = board.received().size();
    Click("BtnGo1");
    ASSERT_TRUE(WaitFor([&] { return Polling(); }));
    const PMulPDiv pm = CalcPMulPDiv(1000, 0, 0);
    EXPECT_EQ(WritesSince(board, mark),
              (std::vector<Frame>{{0x12, 0x00, uint8_t(pm.pMul), uint8_t(pm.pDiv)},
                                  {0x14, 0x00, 0x00, 0x00},
                                  {0x0C, 0x00, 0x03, 0xE8},
                                  {0x06, 0x00, 0x03, 0xE8},
                                  {0x04, 0x00, 0x00, 0x01},
                                  {0x00, 0x00, 0x01, 0x2C}}));
    // The plot is fed while the motor runs to its target.
    ASSERT_TRUE(WaitFor([&] { return Text("StaticXAct1") == "300"; }, 5000));
    EXPECT_TRUE(WaitFor([&] { return program->graphics.History().Size() > 0; }));

    // A register written from the register window.
    Click("BtnCmd630");
    mark = board.received().size();
    SendAMax2(1000);
    EXPECT_EQ(WritesSince(board, mark), std::vector<Frame>({{0x2C, 0x00, 0x03, 0xE8}}));

    // A configuration saved, the chip changed by hand, the file applied.
    RegisterPage(TFormAdvanced::kConfigPage);
    QTest::mouseClick(InRegisters<QPushButton>("BtnConfigSave"), Qt::LeftButton);
    ASSERT_TRUE(QFile::exists(dir.filePath(kConfigName)));
    SendAMax2(50);
    RegisterPage(TFormAdvanced::kConfigPage);
    QTest::mouseClick(InRegisters<QPushButton>("BtnConfigLoad"), Qt::LeftButton);
    EXPECT_EQ(InRegisters<QLabel>("LblConfigState")->text(), kConfigName + ": 1 difference.");
    mark = board.received().size();
    QTest::mouseClick(InRegisters<QPushButton>("BtnConfigApply"), Qt::LeftButton);
    EXPECT_EQ(WritesSince(board, mark), std::vector<Frame>({{0x2C, 0x00, 0x03, 0xE8}}));
    EXPECT_EQ(InRegisters<QLabel>("LblConfigState")->text(),
              kConfigName + ": 1 change written; the chip matches the file.");
    program->registers.close();

    // Two seconds recorded.
    Click("BtnRecord");
    ASSERT_TRUE(WaitFor([&] { return Text("LblRecord").startsWith("Recording: 2 s, "); }, 5000));
    Click("BtnRecord");
    QFile recorded(dir.filePath(kRecordingName));
    ASSERT_TRUE(recorded.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = recorded.readAll().trimmed().split('\n');
    EXPECT_GE(lines.size(), 4);
    for (const QByteArray& line : lines) {
        EXPECT_EQ(line.trimmed().split(',').size(), 14) << line.toStdString();
    }
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join('|').toStdString();
}

} // namespace
} // namespace vrx::test
