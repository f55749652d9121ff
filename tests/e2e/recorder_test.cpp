// The recorder against the simulated board: the rows of a recording are the passes the board
// answered, as the plot saw them, and closing the port ends the file whole.
#include "program_fixture.h"

#include "controls/file_dialog.h"
#include "controls/spin_edit.h"
#include "protocol/pass_row.h"

#include <QFile>

namespace vrx::test {
namespace {

class RecorderE2E : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        saved_ = ChooseFile;
        ChooseFile = [this](QWidget*, const FileDialogRequest&) { return dir.filePath("run.csv"); };
        board = OpenSimulated("plain");
        ASSERT_NE(board, nullptr);
    }
    void TearDown() override {
        ProgramTest::TearDown();
        ChooseFile = saved_;
    }
    // The recorded lines, split into fields.
    std::vector<QStringList> Recorded() {
        QFile file(dir.filePath("run.csv"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        EXPECT_TRUE(text.endsWith('\n')) << "the last row is whole";
        std::vector<QStringList> lines;
        for (const QByteArray& line : text.split('\n')) {
            if (!line.isEmpty()) {
                lines.push_back(QString::fromLatin1(line).split(','));
            }
        }
        return lines;
    }

    sim::ServedBoard* board = nullptr;

private:
    FileDialogFunction saved_;
};

TEST_F(RecorderE2E, TheRowsAreThePassesTheBoardAnsweredWithTimesRising) {
    Find<QComboBox>("CbRampMode1")->setCurrentIndex(2); // VELOCITY
    Find<TSpinEdit>("EditVTarget1")->setValue(300);
    Find<TSpinEdit>("EditAMax1")->setValue(50);
    Click("BtnGo1");
    Click("BtnRecord");
    EXPECT_EQ(Find<QPushButton>("BtnRecord")->text(), "Stop &Recording");
    EXPECT_TRUE(Text("LblRecord").startsWith("Recording: 0 s, "))
        << Text("LblRecord").toStdString();
    ASSERT_TRUE(WaitFor([&] { return Text("LblRecord").startsWith("Recording: 2 s, "); }, 5000));
    Click("BtnRecord");
    const PassHistory& plot = program->graphics.History();
    const uint64_t end = plot.EndSeq();
    EXPECT_EQ(Find<QPushButton>("BtnRecord")->text(), "&Record...");
    EXPECT_EQ(Text("LblRecord"), "run.csv");

    const std::vector<QStringList> lines = Recorded();
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[0].join(','), QString::fromStdString(PassCsvHeader()));
    const int rows = int(lines.size()) - 1;
    ASSERT_LE(uint64_t(rows), plot.Size());
    int previousTime = -1;
    for (int r = 0; r < rows; ++r) {
        const QStringList& row = lines[size_t(r) + 1];
        ASSERT_EQ(row.size(), 14);
        EXPECT_GT(row[0].toInt(), previousTime) << r;
        previousTime = row[0].toInt();
        // The plot took the same passes: its history ends where the recording ended.
        const uint64_t seq = end - uint64_t(rows - r);
        for (size_t v = 0; v < 12; ++v) {
            EXPECT_EQ(row[int(v) + 1].toInt(), plot.Value(seq, v)) << "row " << r << " value " << v;
        }
    }
    EXPECT_EQ(lines.back()[4].toInt(), 300) << "V_TARGET_1";
    EXPECT_GT(lines.back()[1].toInt(), lines[1][1].toInt()) << "motor 1 moved on";
}

TEST_F(RecorderE2E, ClosingThePortEndsTheRecordingWithTheFileWhole) {
    Click("BtnRecord");
    ASSERT_TRUE(WaitFor([&] { return Text("LblRecord").startsWith("Recording: 1 s, "); }, 5000));
    Click("BtnClose");
    EXPECT_EQ(Find<QPushButton>("BtnRecord")->text(), "&Record...");
    EXPECT_FALSE(Find("BtnRecord")->isEnabled());
    const std::vector<QStringList> lines = Recorded();
    ASSERT_GE(lines.size(), 3u);
    for (const QStringList& line : lines) {
        EXPECT_EQ(line.size(), 14);
    }
    EXPECT_TRUE(messages.texts.isEmpty());
}

#ifndef _WIN32 // Windows removes no file that is open
TEST_F(RecorderE2E, ARemovedFileEndsTheRecordingAndIsSaidToBeGone) {
    QWidget* more = Find("GrpMore");
    QWidget* fastPoll = Find("CheckFastPoll");
    const QRect boxBefore = more->geometry();
    const QPoint boxBeforeCheck = fastPoll->mapTo(&Main(), QPoint());
    const QRect buttonBefore = Find("BtnRecord")->geometry();
    Click("BtnRecord");
    ASSERT_TRUE(WaitFor([&] { return Text("LblRecord").startsWith("Recording: "); }, 5000));
    QApplication::processEvents(); // the layout as the new texts want it
    // The box keeps its place, so a click aimed at its check box still lands there.
    EXPECT_EQ(more->geometry(), boxBefore);
    EXPECT_EQ(fastPoll->mapTo(&Main(), QPoint()), boxBeforeCheck);
    EXPECT_EQ(Find("BtnRecord")->geometry(), buttonBefore) << "its caption changed, not its size";
    ASSERT_TRUE(QFile::remove(dir.filePath("run.csv")));
    ASSERT_TRUE(WaitFor([&] { return !messages.texts.isEmpty(); }, 3000));
    EXPECT_EQ(messages.texts,
              QStringList("Recording stopped: the file \"" +
                          QDir::toNativeSeparators(dir.filePath("run.csv")) + "\" was removed."));
    EXPECT_EQ(Text("LblRecord"), "");
    EXPECT_EQ(Find<QPushButton>("BtnRecord")->text(), "&Record...");
}
#endif

// Ticked in the dialog, the rows end in the steps/s columns, worked out by the dividers the
// program wrote: V_TARGET 300 at PULSDIV 7 and 16 MHz is 572.2 steps/s.
TEST_F(RecorderE2E, StepsPerSecondColumnsFollowTheDividersTheProgramWrote) {
    {
        const auto suspension = Main().Link().SuspendPolling();
        ASSERT_TRUE(
            Main().Link().Transfer(Telegram::Make(RegisterByte(Motor1, 12, false), 0x7700)));
    }
    Find<QComboBox>("CbRampMode1")->setCurrentIndex(2); // VELOCITY
    Find<TSpinEdit>("EditVTarget1")->setValue(300);
    Find<TSpinEdit>("EditAMax1")->setValue(50);
    Click("BtnGo1");
    QString optionName;
    ChooseFile = [&](QWidget*, const FileDialogRequest& request) {
        optionName = request.optionName;
        *request.option = true;
        return dir.filePath("run.csv");
    };
    Click("BtnRecord");
    ASSERT_TRUE(WaitFor([&] { return Text("LblRecord").startsWith("Recording: 1 s, "); }, 5000));
    Click("BtnRecord");
    EXPECT_EQ(optionName, "CheckRecordUnits");

    const std::vector<QStringList> lines = Recorded();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0].join(','), QString::fromStdString(PassCsvHeader(true)));
    const QStringList& last = lines.back();
    ASSERT_EQ(last.size(), 14 + 9);
    EXPECT_EQ(last[4], "300");                    // V_TARGET_1, raw
    EXPECT_NEAR(last[16].toDouble(), 572.2, 0.1); // V_TARGET_1_STEPS_S
}

} // namespace
} // namespace vrx::test
