// The plot model: scale limits from the buffer's extremes, rows, the freeze, the scroll, the
// smoothed interval and the clear.
#include "plots/plot_model.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

namespace vrx {
namespace {

constexpr int kTop = PlotModel::BaseRow - PlotModel::FullScale;

struct Pass {
    int velocity = 0, position = 0, acceleration = 0, targetVelocity = 0;
};

class PlotModelTest : public testing::Test {
protected:
    // One polling pass of motor `motor` (the others stand at 0), then the advance.
    PlotModel::Advance Run(const Pass& p, int motor = 0, bool stop = false) {
        model->AddVelocity(p.velocity, motor);
        model->AddPosition(p.position, motor);
        model->AddAcceleration(p.acceleration, motor);
        model->AddTargetVelocity(p.targetVelocity, motor);
        return model->AdvanceColumn(stop);
    }
    int Row(PlotSeries series, int column, int motor = 0) const {
        return model->Sample(series, motor, column).row;
    }

    uint32_t now = 1000;
    std::unique_ptr<PlotModel> model = std::make_unique<PlotModel>([this] { return now; });
};

TEST_F(PlotModelTest, OneAdvanceWithoutSamplesAfterAClear) {
    model->Clear();
    const PlotModel::Advance advance = model->AdvanceColumn(false);
    EXPECT_TRUE(advance.added);
    EXPECT_EQ(advance.rescaled, (std::array<bool, 3>{true, true, true}));
    EXPECT_EQ(model->SampleCount(), 1);
    for (int m = 0; m < PlotModel::kMotors; ++m) {
        EXPECT_EQ(model->Limits(m), (ScaleLimits{100, 100, 100, 0, 5000})) << m;
    }
    EXPECT_EQ(model->Interval().Shown(), -1);
}

struct LimitCase {
    const char* name;
    std::vector<Pass> passes;
    ScaleLimits expected; // VelMax, AccMax, TVelMax, PosMin, PosMax
};

class ScaleLimitTest : public PlotModelTest, public testing::WithParamInterface<LimitCase> {};

TEST_P(ScaleLimitTest, LimitsFollowTheBuffer) {
    for (int motor : {0, 2}) {
        model->Clear();
        for (const Pass& p : GetParam().passes) {
            Run(p, motor);
        }
        EXPECT_EQ(model->Limits(motor), GetParam().expected) << motor;
        EXPECT_EQ(model->Limits(1), (ScaleLimits{100, 100, 100, 0, 5000})) << "motor 2 apart";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Buffers, ScaleLimitTest,
    testing::Values(
        LimitCase{"Empty", {{0, 0, 0, 0}}, {100, 100, 100, 0, 5000}},
        LimitCase{"Velocity101", {{101, 0, 0, 0}}, {200, 100, 100, 0, 5000}},
        LimitCase{"Velocity100", {{100, 0, 0, 0}}, {100, 100, 100, 0, 5000}},
        LimitCase{"NegativeVelocityAsMagnitude", {{-250, 0, -7, -1999}}, {300, 100, 2000, 0, 5000}},
        LimitCase{"PositionsFromMinus1To3000",
                  {{0, -1, 0, 0}, {0, 3000, 0, 0}},
                  {100, 100, 100, -5000, 5000}},
        LimitCase{"PositionsFrom0To3000", {{0, 3000, 0, 0}}, {100, 100, 100, 0, 10000}},
        LimitCase{"PositionsUpTo5000", {{0, 5000, 0, 0}}, {100, 100, 100, 0, 5000}},
        LimitCase{"PositionsUpTo5001", {{0, 5001, 0, 0}}, {100, 100, 100, 0, 10000}},
        LimitCase{"PositionsDownTo10001", {{0, -10001, 0, 0}}, {100, 100, 100, -15000, 0}},
        LimitCase{"Full24BitRange",
                  {{-8388608, -8388608, 8388607, -8388608}, {0, 8388607, 0, 0}},
                  {8388700, 8388700, 8388700, -8390000, 8390000}},
        LimitCase{"Int32Extremes",
                  {{INT_MIN, INT_MIN, INT_MIN, INT_MAX}, {0, INT_MAX, 0, 0}},
                  {2147483700, 2147483700, 2147483700, -2147485000, 2147485000}}),
    [](const auto& info) { return std::string(info.param.name); });

struct StandingCase {
    int position;
    int64_t posMin, posMax;
};

// A motor standing on a negative multiple of 5000 for a whole buffer: the largest position is
// taken from -1 up, so the range still reaches 5000; were the limits ever equal, the range
// keeps 5000 above its bottom (an empty one would divide by zero).
TEST_F(PlotModelTest, AMotorStandingOnANegativeMultipleOf5000KeepsARange) {
    for (const StandingCase& c :
         {StandingCase{-5000, -5000, 5000}, StandingCase{-10000, -10000, 5000},
          StandingCase{-8385000, -8385000, 5000}}) {
        model->Clear();
        for (int i = 0; i <= PlotModel::kColumns; ++i) {
            Run({0, c.position, 0, 0});
        }
        EXPECT_EQ(model->Limits(0).PosMin, c.posMin) << c.position;
        EXPECT_EQ(model->Limits(0).PosMax, c.posMax) << c.position;
        EXPECT_EQ(Row(PlotSeries::Position, 0), PlotModel::BaseRow) << c.position;
        EXPECT_EQ(PositionScaleMax(c.position, c.posMin), c.posMin + 5000) << c.position;
    }
}

struct RowCase {
    const char* what;
    PlotSeries series;
    std::vector<Pass> passes;
    int motor;
    int column;
    int row;
};

TEST_F(PlotModelTest, RowsFollowTheScales) {
    const RowCase cases[] = {
        {"velocity 250 of 300", PlotSeries::Velocity, {{250, 0, 0, 0}}, 0, 0, 431 - 350},
        {"negative velocity", PlotSeries::Velocity, {{-250, 0, 0, 0}}, 1, 0, 431 - 350},
        {"acceleration 33 of 100", PlotSeries::Acceleration, {{0, 0, 33, 0}}, 2, 0, 431 - 138},
        {"target velocity 1999", PlotSeries::TargetVelocity, {{0, 0, 0, 1999}}, 0, 0, 431 - 419},
        {"position 3000 of -5000..5000",
         PlotSeries::Position,
         {{0, -1, 0, 0}, {0, 3000, 0, 0}},
         0,
         1,
         431 - 336},
        {"position -1 of -5000..5000",
         PlotSeries::Position,
         {{0, -1, 0, 0}, {0, 3000, 0, 0}},
         0,
         0,
         431 - 209},
        {"earlier columns rescaled",
         PlotSeries::Velocity,
         {{100, 0, 0, 0}, {200, 0, 0, 0}},
         0,
         0,
         431 - 210},
    };
    for (const RowCase& c : cases) {
        model->Clear();
        for (const Pass& p : c.passes) {
            Run(p, c.motor);
        }
        EXPECT_EQ(Row(c.series, c.column, c.motor), c.row) << c.what;
    }
}

// Values of any size keep every row of the drawn columns on the plot.
TEST_F(PlotModelTest, ExtremeValuesStayOnThePlot) {
    for (int value : {INT_MIN, -8388608, -1, 8388607, INT_MAX}) {
        model->Clear();
        Run({value, value, value, value}, 1);
        Run({0, 0, 0, 0}, 1);
        for (int x = 0; x < model->SampleCount(); ++x) {
            for (PlotSeries s : {PlotSeries::Velocity, PlotSeries::Position,
                                 PlotSeries::Acceleration, PlotSeries::TargetVelocity}) {
                EXPECT_GE(Row(s, x, 1), kTop) << value;
                EXPECT_LE(Row(s, x, 1), PlotModel::BaseRow) << value;
            }
        }
    }
    model->AddVelocity(5, 3); // no such motor: ignored
    model->AddPosition(5, -1);
    model->RescaleMotor(7);
    EXPECT_EQ(model->AdvanceColumn(false).added, true);
}

struct FreezeStep {
    std::array<int, 3> velocities;
    int sampleCount;
    int64_t shown;
};

TEST_F(PlotModelTest, StopWhenStandingFreezesThePlotAndRestartsTheInterval) {
    const FreezeStep steps[] = {
        {{0, 0, 0}, 1, -1},  // an empty plot always takes its first column
        {{0, 0, 0}, 1, -1},  // frozen: columns 1 and 0 stand
        {{0, 0, 5}, 2, -1},  // motor 3 moves: resumes, "---" again
        {{0, 0, 5}, 3, 50},  //
        {{0, 0, 0}, 4, 70},  // one standing column is not enough
        {{0, 0, 0}, 4, 70},  // frozen; the label keeps its text
        {{0, 0, 0}, 4, 70},  //
        {{-3, 0, 0}, 5, -1}, // a negative velocity moves too
        {{0, 0, 0}, 6, 50},
    };
    model->Clear();
    for (size_t i = 0; i < std::size(steps); ++i) {
        now += 100;
        for (int m = 0; m < 3; ++m) {
            model->AddVelocity(steps[i].velocities[static_cast<size_t>(m)], m);
        }
        model->AdvanceColumn(true);
        EXPECT_EQ(model->SampleCount(), steps[i].sampleCount) << i;
        EXPECT_EQ(model->Interval().Shown(), steps[i].shown) << i;
    }
}

TEST_F(PlotModelTest, AFullBufferScrollsLeftAndLosesTheOldestColumn) {
    for (int i = 0; i < PlotModel::kLastColumn; ++i) {
        now = 1000 + 10 * uint32_t(i);
        Run({0, i, 0, 0});
    }
    ASSERT_EQ(model->SampleCount(), 480);
    EXPECT_EQ(model->Sample(PlotSeries::Position, 0, 479).value, 479);
    for (int pass = 1; pass <= 3; ++pass) {
        const int newest = 479 + pass;
        now = 1000 + 10 * uint32_t(newest);
        Run({0, newest, 0, 0});
        // Each column keeps the tick its pass ended at, and moves with it.
        EXPECT_EQ(model->ColumnTick(0), 1000 + 10 * uint32_t(pass));
        EXPECT_EQ(model->ColumnTick(479), now);
        EXPECT_EQ(model->SampleCount(), 480);
        EXPECT_EQ(model->Sample(PlotSeries::Position, 0, 0).value, pass) << "oldest lost";
        EXPECT_EQ(model->Sample(PlotSeries::Position, 0, 479).value, newest);
        // The column being filled keeps its samples until the next pass overwrites them.
        EXPECT_EQ(model->Sample(PlotSeries::Position, 0, 480).value, newest);
        EXPECT_EQ(Row(PlotSeries::Position, 479), Row(PlotSeries::Position, 480));
    }
}

TEST_F(PlotModelTest, TheIntervalIsSmoothedAndShownInTens) {
    // Also across the wrap of the 32-bit tick count.
    for (uint32_t start : {1000u, 0xFFFFFF00u}) {
        model->Clear();
        now = start;
        const std::pair<uint32_t, int64_t> steps[] = {{0, -1},  {100, 50}, {95, 70}, {95, 80},
                                                      {95, 80}, {95, 90},  {95, 90}};
        for (const auto& [gap, shown] : steps) {
            now += gap;
            model->AdvanceColumn(false);
            EXPECT_EQ(model->Interval().Shown(), shown) << start << " +" << gap;
        }
        EXPECT_EQ(model->Interval().AvgInterval, 93);
    }
}

TEST_F(PlotModelTest, ClearEmptiesTheHistoryAndKeepsTheTargetVelocityScale) {
    Run({300, -7000, 50, 1234});
    Run({300, -7000, 50, 1234});
    model->Clear();
    EXPECT_EQ(model->SampleCount(), 0);
    EXPECT_EQ(model->Limits(0), (ScaleLimits{100, 100, 1300, 0, 10000}));
    EXPECT_EQ(model->Interval().Shown(), -1);
    EXPECT_EQ(model->Interval().AvgInterval, -1);
    EXPECT_FALSE(model->Interval().LastTick.has_value());
    for (int x : {0, 1, 480}) {
        EXPECT_EQ(model->Sample(PlotSeries::TargetVelocity, 0, x).value, 0);
        EXPECT_EQ(Row(PlotSeries::Position, x), PlotModel::BaseRow);
    }
}

} // namespace
} // namespace vrx
