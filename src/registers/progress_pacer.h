#pragma once
// ProgressPacer: when a word-by-word transfer shows its progress. A progress bar repaints at
// once, and a repaint after every word held each word up by about a tenth of a millisecond;
// fifty displays a second look just as smooth.

#include <QElapsedTimer>

#include <functional>

namespace vrx {

class ProgressPacer {
public:
    // show(from, to) displays words [from, to) of the transfer as done.
    explicit ProgressPacer(std::function<void(int from, int to)> show);

    // After each word: shows what is done once the last display is old enough.
    void WordDone(int done);
    // After the transfer: shows what is not shown yet.
    void Finish(int done);

private:
    static constexpr int kIntervalMs = 20;

    std::function<void(int, int)> show_;
    QElapsedTimer sinceShown_;
    int shown_ = 0;
};

} // namespace vrx
