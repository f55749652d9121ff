// The configuration page against the simulated board: a saved chip changed by hand shows
// exactly what changed, and Apply writes exactly that.
#include "program_fixture.h"

#include "chip/ram_table.h"
#include "config/config_commands.h"
#include "controls/file_dialog.h"
#include "registers/config_page.h"
#include "registers/form_advanced.h"
#include "registers/ram_page.h"

#include <QTabWidget>
#include <QTableWidget>

namespace vrx::test {
namespace {

using Frame = std::array<uint8_t, 4>;

class ConfigPageE2E : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        saved_ = ChooseFile;
        ChooseFile = [this](QWidget*, const FileDialogRequest& request) {
            filters = request.filters;
            return dir.filePath(chosen);
        };
    }
    void TearDown() override {
        ChooseFile = saved_;
        ProgramTest::TearDown();
    }
    void OpenPage() {
        Click("BtnCmd630");
        program->registers.findChild<QTabWidget*>("PageControl")
            ->setCurrentIndex(TFormAdvanced::kConfigPage);
    }
    template <class T = QWidget> T* Control(const char* name) {
        T* widget = program->registers.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Press(const char* name) { QTest::mouseClick(Control<QPushButton>(name), Qt::LeftButton); }
    // Writes a telegram into the simulated chip as a user at the register window would.
    void Poke(sim::ServedBoard& board, const Telegram& t) {
        board.With([&](sim::SimulatedBoard& b) { b.Model().Execute(t); });
    }
    static std::vector<Frame> Writes(sim::ServedBoard& board) {
        std::vector<Frame> writes = Frames(board.Trace().Bytes());
        std::erase_if(writes, [](const Frame& f) { return (f[0] & 1) != 0; }); // reads, polls
        return writes;
    }
    QStringList Rows() {
        auto* table = Control<QTableWidget>("TableConfig");
        QStringList rows;
        for (int r = 0; r < table->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < table->columnCount(); ++c) {
                cells << table->item(r, c)->text();
            }
            rows << cells.join(' ');
        }
        return rows;
    }

    QString State() { return Control<QLabel>("LblConfigState")->text(); }

    QStringList filters;
    QString chosen = "bench.toml";

private:
    FileDialogFunction saved_;
};

TEST_F(ConfigPageE2E, LoadShowsWhatChangedAndApplyWritesExactlyThat) {
    sim::ServedBoard* board = OpenSimulated("52x");
    Poke(*board, {0x2C, 0x00, 0x03, 0xE8});           // motor 2: A_MAX 1000
    Poke(*board, {0x14, 0x00, 0x05, 0x02});           // motor 1: REF_CONF 0101, VELOCITY
    Poke(*board, RamWriteTelegram(0x25, 0x1F, 0x11)); // RAM bytes 0x4A, 0x4B
    OpenPage();
    Press("BtnConfigSave");
    EXPECT_EQ(filters, QStringList({"Configuration files (*.toml)", "All files (*)"}));
    QFile saved(dir.filePath("bench.toml"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    EXPECT_TRUE(text.contains("board = \"VRX630/VRX52x evaluation board\"")) << text.data();
    EXPECT_TRUE(text.contains("[motor2]\nV_MIN = 0\nV_MAX = 0\nA_MAX = 1000\n")) << text.data();

    // By hand: two registers and a RAM byte.
    Poke(*board, {0x2C, 0x00, 0x00, 0x32});           // motor 2: A_MAX 50
    Poke(*board, {0x14, 0x00, 0x0F, 0x02});           // motor 1: REF_CONF 1111, mode kept
    Poke(*board, RamWriteTelegram(0x25, 0x00, 0x11)); // RAM byte 0x4A: 0
    Press("BtnConfigLoad");
    EXPECT_EQ(Rows(), QStringList({"motor1 REF_CONF 0b1111 0b0101", "motor2 A_MAX 50 1000",
                                   "ram 0x4A 0x00 0x1F"}));
    EXPECT_EQ(State(), "bench.toml: 3 differences.");
    EXPECT_TRUE(Control("BtnConfigApply")->isEnabled());

    board->ClearTrace();
    Press("BtnConfigApply");
    EXPECT_EQ(Writes(*board),
              (std::vector<Frame>{
                  {0x14, 0x00, 0x05, 0x02}, {0x2C, 0x00, 0x03, 0xE8}, {0xCA, 0x00, 0x11, 0x1F}}));
    EXPECT_EQ(State(), "bench.toml: 3 changes written; the chip matches the file.");
    EXPECT_TRUE(Rows().isEmpty());
    EXPECT_FALSE(Control("BtnConfigApply")->isEnabled());
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join('|').toStdString();
    // The RAM page shows the bytes the chip was read back with.
    const RamTable ram = Control<RamPage>("TabRAM")->Table();
    EXPECT_EQ(ram.Cell(0x4A), "1F");
    EXPECT_EQ(ram.Cell(0x4B), "11");
}

TEST_F(ConfigPageE2E, ARefusedFileSaysWhereSendsNothingAndTakesTheListOfTheFileBefore) {
    sim::ServedBoard* board = OpenSimulated("plain");
    OpenPage();
    Press("BtnConfigSave");
    Poke(*board, {0x2C, 0x00, 0x00, 0x32}); // motor 2: A_MAX 50
    Press("BtnConfigLoad");
    ASSERT_EQ(Rows().size(), 1);
    ASSERT_TRUE(Control("BtnConfigApply")->isEnabled());

    QFile file(dir.filePath("bad.toml"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[file]\nformat = 1\n[motor1]\nA_MAX = 100\nX_TARGET = 5\n");
    file.close();
    chosen = "bad.toml";
    board->ClearTrace();
    Press("BtnConfigLoad");
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_EQ(messages.texts[0], "bad.toml, line 5, column 1: [motor1] X_TARGET moves the motor; "
                                 "a configuration does not hold it.");
    EXPECT_TRUE(Writes(*board).empty());
    EXPECT_TRUE(Rows().isEmpty());
    EXPECT_FALSE(Control("BtnConfigApply")->isEnabled());
    EXPECT_EQ(State(), "bad.toml was refused; no file is loaded.");
}

TEST_F(ConfigPageE2E, ExportWritesTheChipAsReadOrTheLoadedFileAsVrx630ctlDoes) {
    sim::ServedBoard* board = OpenSimulated("plain");
    Poke(*board, {0x2C, 0x00, 0x03, 0xE8}); // motor 2: A_MAX 1000
    program->main.Units().SetClockMhz(32);
    OpenPage();
    const auto exported = [&] {
        QFile file(dir.filePath(chosen));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << chosen.toStdString();
        return file.readAll().toStdString();
    };
    chosen = "chip.h";
    Press("BtnExport");
    EXPECT_EQ(filters, QStringList({"C headers (*.h)", "All files (*)"}));
    const std::string chip = exported();
    EXPECT_NE(chip.find("from the chip of VRX630 evaluation board as read\n"), std::string::npos);
    EXPECT_NE(chip.find("0x2C0003E8u, /* motor 2 register 6: A_MAX 1000 = 1,907,348,633 steps/s^2"),
              std::string::npos)
        << chip;

    chosen = "bench.toml";
    Press("BtnConfigSave");
    Press("BtnConfigLoad");
    chosen = "bench.h";
    board->ClearTrace();
    Press("BtnExport");
    EXPECT_TRUE(Writes(*board).empty()); // a loaded file is exported as it is
    ExportOptions options;
    options.clockMhz = 32;
    EXPECT_EQ(exported(), ExportConfigFile(dir.filePath("bench.toml").toStdString(), options));
    EXPECT_EQ(State(), "bench.toml exported to bench.h.");
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join('|').toStdString();
}

TEST_F(ConfigPageE2E, AFileThatCannotBeWrittenIsNamedWithTheReason) {
    OpenSimulated("plain");
    OpenPage();
    chosen = "no/such/folder/bench.toml";
    Press("BtnConfigSave");
    // The system's reason: "No such file or directory", on Windows "Path not found".
    ASSERT_EQ(messages.texts.size(), 1);
    const QString prefix = "Cannot write " + QDir::toNativeSeparators(dir.filePath(chosen)) + ": ";
    EXPECT_TRUE(messages.texts[0].startsWith(prefix)) << messages.texts[0].toStdString();
    EXPECT_GT(messages.texts[0].size(), prefix.size());
}

} // namespace
} // namespace vrx::test
