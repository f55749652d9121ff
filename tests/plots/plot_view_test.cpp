// The plot's view and what it draws: live and paused, zoom about a point within its limits, pan
// within the history, and a reduction to pixel columns that keeps every peak and the scales of
// the values in view.
#include "plots/plot_reduction.h"
#include "plots/plot_view.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

// `count` passes 10 ms apart; motor 1's position is the pass's number, its velocity 0 but
// for a one-pass peak of -700 at pass `peak`.
PassHistory& Filled(PassHistory& history, int count, int peak = -1) {
    for (int i = 0; i < count; ++i) {
        PassRow row;
        row.values[0] = i;
        row.values[1] = i == peak ? -700 : 0;
        history.Append(uint32_t(1000 + 10 * i), row, {});
    }
    return history;
}

TEST(PlotView, LiveFollowsTheNewestPassAndPausedStaysPut) {
    PassHistory history;
    PlotView view;
    Filled(history, 100);
    // Fewer passes than the live width: the view fills from the left.
    EXPECT_EQ(view.Shown(history), (PlotView::Range{0, 4800}));
    Filled(history, 1000);
    history.Clear();
    Filled(history, 1000); // 0 .. 9990 ms
    EXPECT_EQ(view.Shown(history), (PlotView::Range{9990 - 4800, 9990}));
    view.Pause(history);
    EXPECT_FALSE(view.Following());
    Filled(history, 0);
    PassRow row;
    history.Append(1000 + 20000, row, {});
    EXPECT_EQ(view.Shown(history), (PlotView::Range{9990 - 4800, 9990})) << "paused: put";
    view.Resume();
    EXPECT_EQ(view.Shown(history).end, 20000) << "every pass that came meanwhile";
}

TEST(PlotView, ZoomKeepsThePointerPlaceWithinItsLimitsAndPanStaysOverTheHistory) {
    PassHistory history;
    Filled(history, 1000); // 0 .. 9990 ms, 10 ms a pass
    PlotView view;
    // From the whole history, paused: the time under the pointer keeps its share of the width.
    const struct {
        const char* what;
        double factor;
        double atMs;
        double span;
    } zooms[] = {
        {"in about a point", 0.5, 8000, 4995},
        {"in to ten passes at most", 1e-6, 5000, 100},
        {"out to the whole history", 1e6, 5000, 9990},
    };
    for (const auto& z : zooms) {
        view.ShowAll(history);
        view.Zoom(history, z.factor, z.atMs);
        const PlotView::Range shown = view.Shown(history);
        EXPECT_NEAR(shown.Span(), z.span, 1e-6) << z.what;
        EXPECT_NEAR(shown.start, z.atMs - z.atMs / 9990 * z.span, 1e-6) << z.what;
        EXPECT_FALSE(view.Following()) << z.what;
    }
    view.Live();
    view.Zoom(history, 0.5, 0);
    EXPECT_TRUE(view.Following()) << "zoomed live, it follows at its new width";
    EXPECT_EQ(view.Shown(history), (PlotView::Range{9990 - 2400, 9990}));

    const struct {
        double delta;
        PlotView::Range shown;
    } pans[] = {{-1000, {9990 - 3400, 8990}}, {-1e9, {0, 2400}}, {1e9, {9990 - 2400, 9990}}};
    for (const auto& p : pans) {
        view.Pan(history, p.delta);
        EXPECT_FALSE(view.Following());
        EXPECT_EQ(view.Shown(history), p.shown) << p.delta;
    }
    view.ShowAll(history);
    EXPECT_EQ(view.Shown(history), (PlotView::Range{0, 9990}));
}

TEST(PlotReduction, EveryPeakSurvivesAndTheScalesFitTheValuesInView) {
    PassHistory history;
    Filled(history, 100000, 54321); // a single pass of -700 among 100,000
    const PlotView::Range all{0, 999990};
    const ReducedCurve velocity = ReduceCurve(history, PlotSeries::Velocity, 0, all, 478);
    int64_t highest = 0;
    int filled = 0;
    for (const PlotColumn& c : velocity.columns) {
        highest = std::max(highest, c.max);
        filled += c.any;
    }
    EXPECT_EQ(highest, 700) << "the magnitude of the one peak";
    EXPECT_EQ(filled, 478);
    const ReducedCurve position = ReduceCurve(history, PlotSeries::Position, 0, all, 478);
    EXPECT_EQ(position.columns.front().first, 0);
    EXPECT_EQ(position.columns.back().last, 99999);
    EXPECT_FALSE(position.before || position.after);

    // A view of passes 500..509: the column of each pass, and the passes beside it as anchors.
    const PlotView::Range ten{5000, 5090};
    const ReducedCurve near = ReduceCurve(history, PlotSeries::Position, 0, ten, 478);
    ASSERT_TRUE(near.before && near.after);
    EXPECT_EQ(near.before->value, 499);
    EXPECT_EQ(near.after->value, 510);
    EXPECT_EQ(std::count_if(near.columns.begin(), near.columns.end(),
                            [](const PlotColumn& c) { return c.any; }),
              10);
    const ScaleLimits limits = LimitsInView(history, 0, ten);
    EXPECT_EQ(limits.PosMax, 10000) << "509 at most in view, by the position scale's rule";
    EXPECT_EQ(limits.VelMax, 100) << "the peak is not in view";
    EXPECT_EQ(LimitsInView(history, 0, all).VelMax, 700);
}

} // namespace
} // namespace vrx
