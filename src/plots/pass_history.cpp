#include "plots/pass_history.h"

#include <algorithm>
#include <limits>

namespace vrx {

namespace {

constexpr size_t kBlocks = PassHistory::kChunkPasses / PassHistory::kBlockPasses;

} // namespace

struct PassHistory::Chunk {
    std::array<Stored, kChunkPasses> passes;
    // Per block and value: the smallest and largest of the passes stored in it so far.
    std::array<std::array<ValueExtremes, kValues>, kBlocks> blocks;
};

PassHistory::PassHistory(size_t maxPasses)
    : maxPasses_(std::max(maxPasses, 2 * kChunkPasses) / kChunkPasses * kChunkPasses) {}

PassHistory::~PassHistory() = default;

size_t PassHistory::HeldBytes() const {
    const size_t blocks = (Size() + kBlockPasses - 1) / kBlockPasses;
    return Size() * sizeof(Stored) + blocks * sizeof(Chunk::blocks[0]) +
           units_.size() * sizeof(MotionUnits);
}

void PassHistory::Clear() {
    chunks_.clear();
    units_.clear();
    firstSeq_ = endSeq_ = chunkBase_ = 0;
    lastTimeMs_ = 0;
}

void PassHistory::Append(uint32_t tickMs, const PassRow& row, const MotionUnits& units) {
    if (endSeq_ == 0) {
        originTick_ = tickMs;
    }
    const uint32_t timeMs = std::max(TicksSinceOrigin(tickMs), lastTimeMs_);
    lastTimeMs_ = timeMs;
    if (units_.empty() || !(units_.back() == units)) {
        if (units_.size() <= std::numeric_limits<uint16_t>::max()) {
            units_.push_back(units);
        }
    }
    const size_t slot = size_t(endSeq_ - chunkBase_);
    if (slot == chunks_.size() * kChunkPasses) {
        if (Size() + kChunkPasses > maxPasses_) {
            // The oldest chunk goes whole: what is kept never moves.
            chunks_.pop_front();
            chunkBase_ += kChunkPasses;
            firstSeq_ = chunkBase_;
        }
        chunks_.push_back(std::make_unique<Chunk>());
    }
    const size_t at = size_t(endSeq_ - chunkBase_);
    Chunk& chunk = *chunks_[at / kChunkPasses];
    const size_t index = at % kChunkPasses;
    Stored& stored = chunk.passes[index];
    stored.timeMs = timeMs;
    stored.units = uint16_t(units_.size() - 1);
    stored.status = row.status;
    stored.values = row.values;
    auto& block = chunk.blocks[index / kBlockPasses];
    const bool first = index % kBlockPasses == 0;
    for (size_t v = 0; v < kValues; ++v) {
        ValueExtremes& e = block[v];
        e = first ? ValueExtremes{row.values[v], row.values[v]}
                  : ValueExtremes{std::min(e.min, row.values[v]), std::max(e.max, row.values[v])};
    }
    ++endSeq_;
}

uint32_t PassHistory::TicksSinceOrigin(uint32_t tickMs) const {
    return endSeq_ == 0 ? 0 : TicksSince(tickMs, originTick_);
}

const PassHistory::Stored& PassHistory::At(uint64_t seq) const {
    const size_t at = size_t(seq - chunkBase_);
    return chunks_[at / kChunkPasses]->passes[at % kChunkPasses];
}

HistoryPass PassHistory::Pass(uint64_t seq) const {
    const Stored& s = At(seq);
    HistoryPass pass;
    pass.timeMs = s.timeMs;
    pass.row.values = s.values;
    pass.row.status = s.status;
    pass.units = units_[s.units];
    return pass;
}

uint32_t PassHistory::TimeOf(uint64_t seq) const {
    return At(seq).timeMs;
}

int32_t PassHistory::Value(uint64_t seq, size_t value) const {
    return At(seq).values[value];
}

uint64_t PassHistory::LowerBound(uint32_t timeMs) const {
    uint64_t low = firstSeq_;
    uint64_t high = endSeq_;
    while (low < high) {
        const uint64_t mid = low + (high - low) / 2;
        if (TimeOf(mid) < timeMs) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

std::optional<uint64_t> PassHistory::Nearest(uint32_t timeMs) const {
    if (Empty()) {
        return std::nullopt;
    }
    const uint64_t after = LowerBound(timeMs);
    if (after == endSeq_) {
        return endSeq_ - 1;
    }
    if (after == firstSeq_) {
        return after;
    }
    // The earlier of two as near.
    return timeMs - TimeOf(after - 1) <= TimeOf(after) - timeMs ? after - 1 : after;
}

ValueExtremes PassHistory::Extremes(size_t value, uint64_t from, uint64_t to) const {
    ValueExtremes e{std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()};
    const auto take = [&e](int32_t min, int32_t max) {
        e.min = std::min(e.min, min);
        e.max = std::max(e.max, max);
    };
    uint64_t seq = from;
    while (seq < to) {
        const size_t at = size_t(seq - chunkBase_);
        const bool blockStart = at % kBlockPasses == 0;
        if (blockStart && to - seq >= kBlockPasses) {
            const ValueExtremes& block =
                chunks_[at / kChunkPasses]->blocks[(at % kChunkPasses) / kBlockPasses][value];
            take(block.min, block.max);
            seq += kBlockPasses;
        } else {
            const int32_t v = At(seq).values[value];
            take(v, v);
            ++seq;
        }
    }
    return e;
}

} // namespace vrx
