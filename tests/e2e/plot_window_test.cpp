// The plot window in the whole program against the simulated board: the curves of a running
// motor, the pass interval, and the window's life with the port.
#include "program_fixture.h"

#include "controls/spin_edit.h"

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
    int Columns() { return Graphics().Model().SampleCount(); }
    bool WaitForPasses(int passes) {
        const int target = Columns() + passes;
        return WaitFor([&] { return Columns() >= target; });
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

    sim::ServedBoard* board = nullptr;
};

TEST_F(PlotWindowTest, AMotorAtVelocityIsDrawnAtItsRowAndTheIntervalFollowsThePasses) {
    Click("BtnGraphics");
    ASSERT_TRUE(Graphics().isVisible());
    RunAtVelocity(1, 250);
    ASSERT_TRUE(WaitForPasses(12)); // time for the interval average to settle

    // The velocity scale ends at the next multiple of 100 above the largest value: 300.
    const int row = 431 - static_cast<int>(std::trunc(250 * (420.0 / 300)));
    const QImage plot = Graphics().findChild<QWidget*>("PaintBox1")->grab().toImage();
    const int x = Columns() - 1;
    std::vector<int> redRows;
    for (int y = 0; y < plot.height(); ++y) {
        if (plot.pixelColor(x, y) == QColor(255, 0, 0)) {
            redRows.push_back(y);
        }
    }
    EXPECT_EQ(redRows, std::vector<int>{row});

    // Polling rests, so the label and the board's record of the passes tell the same story.
    Main().Link().PollingEnabled = false;
    ASSERT_TRUE(WaitFor([&] { return Main().Link().AnswerReceived; }));
    bool isNumber = false;
    const int shown = Graphics().findChild<QLabel*>("LblXTiming")->text().toInt(&isNumber);
    ASSERT_TRUE(isNumber);
    const std::vector<double> durations = PassDurations();
    ASSERT_GE(durations.size(), 8u);
    // Each pass counts half, the passes before it the other half.
    double smoothed = durations.front();
    for (double duration : durations) {
        smoothed = (duration + smoothed) / 2;
    }
    EXPECT_NEAR(shown, smoothed, std::max(20.0, smoothed / 4)) << "passes " << durations.back();
    Main().Link().PollingEnabled = true;
}

TEST_F(PlotWindowTest, PlotsGoOnWhileHiddenAndSurviveClosingThePort) {
    RunAtVelocity(2, 100);
    ASSERT_TRUE(WaitForPasses(3));
    EXPECT_FALSE(Graphics().isVisible());
    EXPECT_EQ(Graphics().Model().Sample(PlotSeries::Velocity, 1, Columns() - 1).value, 100);

    Click("BtnGraphics");
    ASSERT_TRUE(Graphics().isVisible());
    Click("BtnClose");
    EXPECT_FALSE(Graphics().isVisible());
    const int kept = Columns();
    Pump(300);
    EXPECT_EQ(Columns(), kept) << "no passes without a port";

    OpenSimulated("plain");
    ASSERT_TRUE(WaitForPasses(2));
    EXPECT_GE(Columns(), kept + 2) << "the history goes on";
    EXPECT_EQ(Graphics().Model().Sample(PlotSeries::Velocity, 1, kept - 1).value, 100);
}

} // namespace
} // namespace vrx::test
