#include "plots/plot_view.h"

#include <algorithm>

namespace vrx {

namespace {

std::optional<uint64_t> Kept(std::optional<uint64_t> seq, const PassHistory& history) {
    return seq && *seq >= history.FirstSeq() && *seq < history.EndSeq() ? seq : std::nullopt;
}

} // namespace

double PlotView::MeanPassMs(const PassHistory& history) {
    if (history.Size() < 2) {
        return kDefaultPassMs;
    }
    const uint64_t last = history.EndSeq() - 1;
    const uint64_t first = last - std::min<uint64_t>(last - history.FirstSeq(), kLivePasses - 1);
    const double mean = double(history.TimeOf(last) - history.TimeOf(first)) / double(last - first);
    return mean > 0 ? mean : kDefaultPassMs;
}

double PlotView::Span(const PassHistory& history) const {
    return span_.value_or((kLivePasses - 1) * MeanPassMs(history));
}

// The times the history covers.
PlotView::Range PlotView::Limits(const PassHistory& history) const {
    if (history.Empty()) {
        return {0, 0};
    }
    return {double(history.TimeOf(history.FirstSeq())),
            double(history.TimeOf(history.EndSeq() - 1))};
}

PlotView::Range PlotView::Shown(const PassHistory& history) const {
    const double span = Span(history);
    const Range limits = Limits(history);
    // A history shorter than the view fills it from the left, as the strip always did.
    const double end = following_ ? std::max(limits.end, limits.start + span) : end_;
    return {end - span, end};
}

void PlotView::Pause(const PassHistory& history) {
    if (following_) {
        end_ = Shown(history).end;
        span_ = Span(history);
        following_ = false;
    }
}

void PlotView::Live() {
    following_ = true;
    span_.reset();
}

void PlotView::ShowAll(const PassHistory& history) {
    const Range limits = Limits(history);
    span_ = std::max(limits.Span(), kMinPasses * MeanPassMs(history));
    end_ = limits.start + *span_;
    following_ = false;
}

void PlotView::Zoom(const PassHistory& history, double factor, double atMs) {
    const Range shown = Shown(history);
    const double least = kMinPasses * MeanPassMs(history);
    const double most = std::max(Limits(history).Span(), (kLivePasses - 1) * MeanPassMs(history));
    const double span = std::clamp(shown.Span() * factor, least, std::max(least, most));
    span_ = span;
    if (following_) {
        return;
    }
    // The time under the pointer stays under it.
    const double share = shown.Span() > 0 ? (atMs - shown.start) / shown.Span() : 1;
    end_ = atMs + (1 - std::clamp(share, 0.0, 1.0)) * span;
    Pan(history, 0);
}

void PlotView::Pan(const PassHistory& history, double deltaMs) {
    Pause(history);
    const Range limits = Limits(history);
    const double span = Span(history);
    // The view stays over the history: its left edge not before the oldest pass, its right edge
    // not after the newest (unless the view is wider than the history).
    end_ =
        std::clamp(end_ + deltaMs, limits.start + span, std::max(limits.end, limits.start + span));
}

void PlotView::ShowRange(double start, double end) {
    span_ = std::max(end - start, 1.0);
    end_ = start + *span_;
    following_ = false;
}

void PlotView::Clear() {
    Live();
    ClearCursors();
}

std::optional<uint64_t> PlotView::CursorA(const PassHistory& history) const {
    return Kept(cursorA_, history);
}

std::optional<uint64_t> PlotView::CursorB(const PassHistory& history) const {
    return Kept(cursorB_, history);
}

} // namespace vrx
