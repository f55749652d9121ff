#pragma once
// PlotView: which stretch of the history the plot shows, and its two measuring cursors. Live, the
// view follows the newest pass, as wide as kLivePasses passes take; zoomed live it keeps
// following at its new width. Paused, panned or zoomed about a point it stays where it was put
// while the history grows, and counts as paused. Times are milliseconds of the history. Free of
// the user interface: the window only shows the view and forwards input.

#include "plots/pass_history.h"

#include <cstdint>
#include <optional>

namespace vrx {

class PlotView {
public:
    static constexpr int kLivePasses = 481;
    static constexpr int kMinPasses = 10;
    // The mean pass time assumed while the history holds fewer than two passes.
    static constexpr double kDefaultPassMs = 10;

    struct Range {
        double start = 0;
        double end = 0;
        double Span() const { return end - start; }
        friend bool operator==(const Range&, const Range&) = default;
    };

    Range Shown(const PassHistory& history) const;
    bool Following() const { return following_; }

    // Stays where it is shown now.
    void Pause(const PassHistory& history);
    // Follows the newest pass again at the width it has.
    void Resume() { following_ = true; }
    // Follows the newest pass at the live width.
    void Live();
    // The whole history, paused.
    void ShowAll(const PassHistory& history);
    // The width times `factor` (below 1 zooms in), between kMinPasses passes and the whole
    // history. Live the newest pass stays at the right edge; paused the time `atMs` stays where
    // it is on the screen.
    void Zoom(const PassHistory& history, double factor, double atMs);
    // Moves the view by `deltaMs` (later is positive) and pauses it, within the history.
    void Pan(const PassHistory& history, double deltaMs);
    // The stretch from `start` to `end`, paused; it may reach beyond the newest pass, which the
    // passes to come then fill.
    void ShowRange(double start, double end);
    // Live, at the live width, without cursors.
    void Clear();

    // The cursors: passes by sequence number. A cursor whose pass has left the history goes.
    std::optional<uint64_t> CursorA(const PassHistory& history) const;
    std::optional<uint64_t> CursorB(const PassHistory& history) const;
    void SetCursor(bool b, uint64_t seq) { (b ? cursorB_ : cursorA_) = seq; }
    void ClearCursors() { cursorA_.reset(), cursorB_.reset(); }

    // The mean time between the newest kLivePasses passes.
    static double MeanPassMs(const PassHistory& history);

private:
    double Span(const PassHistory& history) const;
    Range Limits(const PassHistory& history) const;

    bool following_ = true;
    std::optional<double> span_; // none: the live width
    double end_ = 0;             // while paused
    std::optional<uint64_t> cursorA_;
    std::optional<uint64_t> cursorB_;
};

} // namespace vrx
