#include "registers/progress_pacer.h"

#include <utility>

namespace vrx {

ProgressPacer::ProgressPacer(std::function<void(int from, int to)> show) : show_(std::move(show)) {}

void ProgressPacer::WordDone(int done) {
    if (!sinceShown_.isValid() || sinceShown_.elapsed() >= kIntervalMs) {
        Finish(done);
    }
}

void ProgressPacer::Finish(int done) {
    if (done > shown_) {
        show_(shown_, done);
        shown_ = done;
        sinceShown_.start();
    }
}

} // namespace vrx
