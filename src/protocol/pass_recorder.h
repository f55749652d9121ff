#pragma once
// PassRecorder: streams the rows of the polling passes into a file for as long as a recording
// runs. Each row reaches the file whole as it comes, or not at all, so nothing grows in memory
// with the length of a run, a crash of the program loses nothing, and the file always ends with
// a whole row. The file is looked at once a second. The first write that fails ends the
// recording with the system's reason; the rows before it stay in the file.

#include "protocol/pass_row.h"
#include "serial/tick_clock.h"

#include <memory>
#include <string>

namespace vrx {

// Where the rows go. A file in the program; a fake in tests.
class RowSink {
public:
    virtual ~RowSink() = default;
    // Whole lines, written whole or not at all. False when they could not be written;
    // Error() then says why.
    virtual bool Write(const std::string& bytes) = 0;
    // False when what was written is no longer safe: the file is gone, or cannot be written.
    virtual bool Flush() = 0;
    virtual std::string Error() const = 0;
    // The failure was the file's removal.
    virtual bool Removed() const { return false; }
};

// A file opened for writing, without a buffer of its own. A write that fails part-way (a full
// disk, a size limit) is cut back to the last line end. Flush notices a file removed behind
// the recorder's back, which the system would otherwise let it go on writing into.
class FileRowSink final : public RowSink {
public:
    ~FileRowSink() override;
    // Creates or truncates the file; false with the reason in Error().
    bool Open(const std::string& path);
    bool Write(const std::string& bytes) override;
    bool Flush() override;
    std::string Error() const override { return error_; }
    bool Removed() const override { return removed_; }

private:
    bool Fail(int error);

    int fd_ = -1;
    int64_t size_ = 0; // the bytes of the whole lines in the file
    std::string path_;
    std::string error_;
    bool removed_ = false;
};

class PassRecorder {
public:
    static constexpr uint32_t kFlushIntervalMs = 1000;

    // Writes the header at once; time 0 is now. With `units` (observed, not owned, read at each
    // row, so a change of dividers counts from the next row on) the units columns follow.
    PassRecorder(std::unique_ptr<RowSink> sink, TickClock clock = MonotonicTickCount,
                 const MotionUnits* units = nullptr);

    // One row, time counted from the start. Ignored once failed.
    void Record(const PassRow& row);
    // Flushes when a second has passed since the last flush: call it now and then even when
    // no row comes.
    void Tick();
    // Flushes what is left; the recording is over.
    void Finish();

    bool Failed() const { return failed_; }
    std::string Error() const { return sink_->Error(); }
    bool FileRemoved() const { return failed_ && sink_->Removed(); }
    // The rows in the file.
    int Rows() const { return rows_; }
    uint32_t ElapsedMs() const { return TicksSince(clock_(), start_); }

private:
    bool Check(bool ok);

    std::unique_ptr<RowSink> sink_;
    TickClock clock_;
    const MotionUnits* units_;
    uint32_t start_;
    uint32_t lastFlush_;
    int rows_ = 0;
    bool failed_ = false;
};

} // namespace vrx
