// The plot window in the whole program against the simulated board: the curves of a running
// motor on the time axis, the mean pass time, the window's life with the port, and the window as
// a measuring instrument: paused without loss, exported, measured between two cursors.
#include "program_fixture.h"

#include "controls/file_dialog.h"
#include "controls/spin_edit.h"
#include "plots/plot_reduction.h"

#include <QFile>
#include <QListWidget>

#include <cmath>

namespace vrx::test {
namespace {

class PlotWindowTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        board = OpenSimulated("plain");
        ASSERT_NE(board, nullptr);
    }

    TFormGraphics& Graphics() { return program->graphics; }
    size_t Passes() { return Graphics().History().Size(); }
    bool WaitForPasses(size_t passes) {
        const size_t target = Passes() + passes;
        return WaitFor([&] { return Passes() >= target; });
    }
    // Runs a motor (1..3) in VELOCITY mode.
    void RunAtVelocity(int motor, int velocity) {
        const QString n = QString::number(motor);
        Find<QComboBox>("CbRampMode" + n)->setCurrentIndex(2);
        Find<TSpinEdit>("EditVTarget" + n)->setValue(velocity);
        Find<TSpinEdit>("EditAMax" + n)->setValue(2047);
        Click("BtnGo" + n);
        ASSERT_TRUE(WaitFor([&] { return Text("StaticVAct" + n) == QString::number(velocity); }));
    }
    // Milliseconds between the polls of slot 1 (X_ACTUAL of motor 1), one per pass.
    std::vector<double> PassDurations() {
        std::vector<double> starts;
        const auto entries = board->Received();
        for (size_t i = 0; i + 4 < entries.size(); ++i) {
            if (entries[i].byte == 0x23 && entries[i + 1].byte == 0x03 &&
                entries[i + 2].byte == 0 && entries[i + 3].byte == 0 && entries[i + 4].byte == 0) {
                starts.push_back(entries[i].timeMs);
            }
        }
        std::vector<double> durations;
        for (size_t i = 1; i < starts.size(); ++i) {
            durations.push_back(starts[i] - starts[i - 1]);
        }
        return durations;
    }
    template <class T = QWidget> T* InPlot(const QString& name) {
        T* widget = Graphics().findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    // The pixel column of a pass on motor 1's plot as the view stands.
    int ColumnOfPass(uint64_t seq) {
        const PlotView::Range range = Graphics().View().Shown(Graphics().History());
        return PixelOf(range, InPlot("PaintBox1")->width(), Graphics().History().TimeOf(seq));
    }

    sim::ServedBoard* board = nullptr;
};

TEST_F(PlotWindowTest, AMotorAtVelocityIsDrawnAtItsRowAndTheLabelShowsTheMeanPassTime) {
    Click("BtnGraphics");
    ASSERT_TRUE(Graphics().isVisible());
    RunAtVelocity(1, 250);
    ASSERT_TRUE(WaitForPasses(12));
    // The ramp is over when the last three passes read the velocity (a slow machine ramps
    // through more passes).
    const auto atVelocity = [&] {
        const PassHistory& history = Graphics().History();
        for (uint64_t seq = history.EndSeq() - 3; seq < history.EndSeq(); ++seq) {
            if (history.Value(seq, 1) != 250) {
                return false;
            }
        }
        return true;
    };
    ASSERT_TRUE(WaitFor(atVelocity));
    // Polling rests, so the view stands still while it is looked at, and the label and the
    // board's record of the passes tell the same story.
    Main().Link().PollingEnabled = false;
    ASSERT_TRUE(WaitFor([&] { return Main().Link().AnswerReceived; }));
    ASSERT_TRUE(atVelocity());

    // The velocity scale ends at the next multiple of 100 above the largest value in view: 300.
    const int row = 431 - static_cast<int>(std::trunc(250 * (420.0 / 300)));
    const QImage plot = InPlot("PaintBox1")->grab().toImage();
    const int x = ColumnOfPass(Graphics().History().EndSeq() - 2);
    std::vector<int> redRows;
    for (int y = 0; y < plot.height(); ++y) {
        if (plot.pixelColor(x, y) == QColor(255, 0, 0)) {
            redRows.push_back(y);
        }
    }
    EXPECT_EQ(redRows, std::vector<int>{row})
        << "column " << x << " of " << plot.width() << ", " << Passes() << " passes";

    bool isNumber = false;
    const double shown = InPlot<QLabel>("LblXTiming")->text().toDouble(&isNumber);
    ASSERT_TRUE(isNumber);
    std::vector<double> durations = PassDurations();
    ASSERT_GE(durations.size(), 8u);
    double mean = 0;
    for (double d : durations) {
        mean += d / double(durations.size());
    }
    EXPECT_NEAR(shown, mean, std::max(5.0, mean / 4));
    Main().Link().PollingEnabled = true;
}

TEST_F(PlotWindowTest, PlotsGoOnWhileHiddenAndSurviveClosingThePort) {
    RunAtVelocity(2, 100);
    ASSERT_TRUE(WaitForPasses(3));
    EXPECT_FALSE(Graphics().isVisible());
    const auto velocity2 = [&](uint64_t seq) { return Graphics().History().Value(seq, 5); };
    EXPECT_EQ(velocity2(Graphics().History().EndSeq() - 1), 100);

    Click("BtnGraphics");
    ASSERT_TRUE(Graphics().isVisible());
    Click("BtnClose");
    EXPECT_FALSE(Graphics().isVisible());
    const size_t kept = Passes();
    Pump(300);
    EXPECT_EQ(Passes(), kept) << "no passes without a port";
    Click("BtnGraphics");
    EXPECT_TRUE(Graphics().isVisible()) << "the history is there to be looked at";

    OpenSimulated("plain");
    ASSERT_TRUE(WaitForPasses(2));
    EXPECT_GE(Passes(), kept + 2) << "the history goes on";
    EXPECT_EQ(velocity2(kept - 1), 100);
}

// A position that rises 1,000 steps a second (V 524 at PULSDIV 7: 999.4 steps/s), the window
// paused for 3 s and resumed, then exported: no pass lost, and the cursors measure the rate.
TEST_F(PlotWindowTest, PausedNothingIsLostAndTheCursorsMeasureTheVelocity) {
    board->With(
        [](sim::SimulatedBoard& b) { b.Model().Motor(0).Write(MotorReg::Dividers, 0x7700); });
    RunAtVelocity(1, 524);
    Click("BtnGraphics");
    ASSERT_TRUE(WaitForPasses(10));
    QTest::mouseClick(InPlot<QPushButton>("BtnPause"), Qt::LeftButton);
    EXPECT_EQ(InPlot<QPushButton>("BtnPause")->text(), "&Resume");
    const PlotView::Range paused = Graphics().View().Shown(Graphics().History());
    const size_t before = Passes();
    Pump(3000);
    EXPECT_GT(Passes(), before) << "polling and the history go on";
    EXPECT_EQ(Graphics().View().Shown(Graphics().History()), paused) << "the view stays";
    QTest::mouseClick(InPlot<QPushButton>("BtnPause"), Qt::LeftButton);
    EXPECT_EQ(InPlot<QPushButton>("BtnPause")->text(), "&Pause");

    // The whole history, exported: every pass in view with its time.
    InPlot("PaintBox1")->setFocus();
    QTest::keyClick(InPlot("PaintBox1"), Qt::Key_Home);
    const QString path = dir.filePath("passes.csv");
    const FileDialogFunction saved = ChooseFile;
    ChooseFile = [&](QWidget*, const FileDialogRequest&) { return path; };
    Graphics().MenuExportDataClick();
    ChooseFile = saved;
    QFile csv(path);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(csv.readAll()).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 15);
    const double mean = PlotView::MeanPassMs(Graphics().History());
    double longest = 0;
    for (int i = 2; i < lines.size(); ++i) {
        longest = std::max(longest, lines[i].section(',', 0, 0).toDouble() -
                                        lines[i - 1].section(',', 0, 0).toDouble());
    }
    EXPECT_LE(longest, 3 * mean) << "no gap in the passes, paused or not";

    // Cursor A on a pass of the pause, cursor B on the newest.
    const uint64_t end = Graphics().History().EndSeq();
    QTest::mouseClick(InPlot("PaintBox1"), Qt::LeftButton, {}, QPoint(ColumnOfPass(end - 25), 200));
    QTest::mouseClick(InPlot("PaintBox1"), Qt::LeftButton, Qt::ShiftModifier,
                      QPoint(ColumnOfPass(end - 1), 200));
    const QString measure = InPlot<QLabel>("LblMeasure")->text();
    ASSERT_TRUE(measure.startsWith(QStringLiteral("A\u2192B: "))) << measure.toStdString();
    const QString rate = measure.section(", ", 2, 2).section(' ', 0, 0).remove(',');
    EXPECT_NEAR(rate.toDouble(), 1000, 20) << measure.toStdString();
    QTest::keyClick(InPlot("PaintBox1"), Qt::Key_Escape);
    EXPECT_EQ(InPlot<QLabel>("LblMeasure")->text(), "");
    Click("BtnStop1");
}

// The board sets X_ACTUAL1 = X_TARGET1 at a known time: the trigger fires within a pass of it;
// two captures, the second 14 steps further on, ticked and laid over each other, their
// difference read off.
TEST_F(PlotWindowTest, ATriggerCatchesTheMomentAndCapturesAreComparedOverEachOther) {
    const auto write = [&](MotorReg reg, uint32_t value) {
        board->With([&](sim::SimulatedBoard& b) { b.Model().Motor(0).Write(reg, value); });
    };
    write(MotorReg::RefConfRampMode, RampModeVelocity); // standing, wherever its target is
    write(MotorReg::XTarget, 1000);
    Click("BtnGraphics");
    ASSERT_TRUE(WaitForPasses(3));
    InPlot<QComboBox>("CbTrigger")->setCurrentText("X_ACTUAL = X_TARGET");
    QTest::mouseClick(InPlot<QPushButton>("BtnArm"), Qt::LeftButton);
    EXPECT_EQ(InPlot<QLabel>("LblTrigger")->text(), "Armed: waiting for X_ACTUAL1 = X_TARGET1.");
    ASSERT_TRUE(WaitForPasses(3));
    EXPECT_TRUE(InPlot<QLabel>("LblTrigger")->text().startsWith("Armed")) << "a level, no edge";

    const uint32_t setAt = MonotonicTickCount();
    write(MotorReg::XTarget, 0);
    ASSERT_TRUE(
        WaitFor([&] { return InPlot<QLabel>("LblTrigger")->text().startsWith("Triggered"); }));
    const PassHistory& history = Graphics().History();
    auto* list = InPlot<QListWidget>("ListCaptures");
    ASSERT_EQ(list->count(), 1);
    // The pass that fired: the first whose status shows the arrival.
    uint64_t fired = history.EndSeq() - 1;
    while (fired > history.FirstSeq() && (history.Pass(fired - 1).row.status & 1) != 0) {
        --fired;
    }
    const double firedTick = double(history.OriginTick()) + history.TimeOf(fired);
    EXPECT_NEAR(firedTick, double(setAt), 2 * PlotView::MeanPassMs(history));
    EXPECT_TRUE(list->item(0)->text().startsWith("1: ")) << list->item(0)->text().toStdString();
    EXPECT_TRUE(InPlot<QLabel>("LblTrigger")->text().endsWith(": X_ACTUAL1 = X_TARGET1"));
    EXPECT_FALSE(Graphics().View().Following()) << "the view stays on the capture";

    // A second capture, the motor 14 steps on.
    write(MotorReg::XTarget, 1000);
    ASSERT_TRUE(WaitForPasses(2));
    QTest::mouseClick(InPlot<QPushButton>("BtnArm"), Qt::LeftButton);
    ASSERT_TRUE(WaitForPasses(2));
    write(MotorReg::XActual, 14);
    write(MotorReg::XTarget, 14);
    ASSERT_TRUE(WaitFor([&] { return list->count() == 2; }));
    ASSERT_TRUE(WaitForPasses(3)); // the passes after the trigger fill the view
    for (int i = 0; i < 2; ++i) {
        list->item(i)->setCheckState(Qt::Checked);
    }
    EXPECT_TRUE(InPlot<QLabel>("LblMeasure")
                    ->text()
                    .contains("capture 1: velocity 0 steps/s, position 14 steps"))
        << InPlot<QLabel>("LblMeasure")->text().toStdString();
}

} // namespace
} // namespace vrx::test
