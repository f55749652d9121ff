#pragma once
// PassHistory: every polling pass since the port was opened or the display cleared, each with
// its time, its twelve raw values, its status byte and the clock and dividers of its moment, up
// to kMaxPasses (a day of fast polling in about 120 MB); past that the oldest go a chunk at a
// time. Passes sit in fixed-size chunks, so appending is O(1) and never moves what is stored,
// and every block of kBlockPasses carries each value's extremes, so the extremes of any range
// cost its blocks, not its passes. Passes are addressed by a sequence number that counts from
// the clear and stays with its pass while older ones go. Free of the user interface.

#include "chip/motion_units.h"
#include "protocol/pass_row.h"
#include "serial/tick_clock.h"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace vrx {

// One pass as the history gives it back.
struct HistoryPass {
    uint32_t timeMs = 0; // since the history's first pass
    PassRow row;
    MotionUnits units;
};

struct ValueExtremes {
    int32_t min = 0;
    int32_t max = 0;
};

class PassHistory {
public:
    static constexpr size_t kChunkPasses = 4096;
    static constexpr size_t kBlockPasses = 64;
    static constexpr size_t kMaxPasses = 512 * kChunkPasses; // 2,097,152
    static constexpr size_t kValues = 12;

    explicit PassHistory(size_t maxPasses = kMaxPasses);
    ~PassHistory();
    PassHistory(const PassHistory&) = delete;
    PassHistory& operator=(const PassHistory&) = delete;

    // A pass read at `tickMs` of the monotonic tick clock. A time before the last pass's (a
    // clock that stepped back) counts as the last pass's.
    void Append(uint32_t tickMs, const PassRow& row, const MotionUnits& units);
    void Clear();

    bool Empty() const { return Size() == 0; }
    size_t Size() const { return size_t(endSeq_ - firstSeq_); }
    // Sequence numbers of the oldest pass kept and one past the newest.
    uint64_t FirstSeq() const { return firstSeq_; }
    uint64_t EndSeq() const { return endSeq_; }
    // Whether passes have gone to make room since the clear.
    bool Dropped() const { return firstSeq_ > 0; }
    // What the stored passes take in memory, as they fill their chunks: the part of the
    // program's growth that is the history doing its job, for a soak to tell from a leak.
    size_t HeldBytes() const;

    HistoryPass Pass(uint64_t seq) const;
    uint32_t TimeOf(uint64_t seq) const;
    int32_t Value(uint64_t seq, size_t value) const;
    // The tick of the history's first pass (time 0), for times on the tick clock.
    uint32_t OriginTick() const { return originTick_; }

    // The first pass at or after `timeMs`; EndSeq() when there is none.
    uint64_t LowerBound(uint32_t timeMs) const;
    // The pass nearest in time to `timeMs`; nothing while the history is empty.
    std::optional<uint64_t> Nearest(uint32_t timeMs) const;
    // The extremes of one value (index into PassRow::values) over the passes [from, to); from
    // < to and both within the history.
    ValueExtremes Extremes(size_t value, uint64_t from, uint64_t to) const;

private:
    struct Stored {
        uint32_t timeMs;
        uint16_t units; // into units_
        uint8_t status;
        std::array<int32_t, kValues> values;
    };
    struct Chunk;

    const Stored& At(uint64_t seq) const;
    uint32_t TicksSinceOrigin(uint32_t tickMs) const;

    size_t maxPasses_;
    std::deque<std::unique_ptr<Chunk>> chunks_;
    uint64_t firstSeq_ = 0; // of the first chunk's first pass, kept
    uint64_t endSeq_ = 0;
    uint64_t chunkBase_ = 0; // sequence number of chunks_.front()'s first slot
    uint32_t originTick_ = 0;
    uint32_t lastTimeMs_ = 0;
    // The clock and dividers in force, as they came; passes refer to them by index.
    std::vector<MotionUnits> units_;
};

} // namespace vrx
