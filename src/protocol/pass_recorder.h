#pragma once
// PassRecorder: streams the rows of the polling passes into a file for as long as a recording
// runs. Rows go out as they come and are flushed at least once a second, so nothing grows in
// memory with the length of a run and a crash loses at most the last second. The first write
// that fails ends the recording with the system's reason; the rows before it stay in the file.

#include "protocol/pass_row.h"
#include "serial/tick_clock.h"

#include <cstdio>
#include <memory>
#include <string>

namespace vrx {

// Where the rows go. A file in the program; a fake in tests.
class RowSink {
public:
    virtual ~RowSink() = default;
    // False when the bytes could not be written; Error() then says why.
    virtual bool Write(const std::string& bytes) = 0;
    virtual bool Flush() = 0;
    virtual std::string Error() const = 0;
};

// A file opened for writing; a flush also notices a file removed behind the recorder's back,
// which the system would otherwise let it go on writing into.
class FileRowSink final : public RowSink {
public:
    ~FileRowSink() override;
    // Creates or truncates the file; false with the reason in Error().
    bool Open(const std::string& path);
    bool Write(const std::string& bytes) override;
    bool Flush() override;
    std::string Error() const override { return error_; }

private:
    bool Fail(int error);

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string error_;
};

class PassRecorder {
public:
    static constexpr uint32_t kFlushIntervalMs = 1000;

    // Writes the header at once; time 0 is now.
    PassRecorder(std::unique_ptr<RowSink> sink, TickClock clock = MonotonicTickCount);

    // One row, time counted from the start. Ignored once failed.
    void Record(const PassRow& row);
    // Flushes when a second has passed since the last flush: call it now and then even when
    // no row comes.
    void Tick();
    // Flushes what is left; the recording is over.
    void Finish();

    bool Failed() const { return failed_; }
    std::string Error() const { return sink_->Error(); }
    int Rows() const { return rows_; }
    uint32_t ElapsedMs() const { return TicksSince(clock_(), start_); }

private:
    bool Check(bool ok);

    std::unique_ptr<RowSink> sink_;
    TickClock clock_;
    uint32_t start_;
    uint32_t lastFlush_;
    int rows_ = 0;
    bool failed_ = false;
};

} // namespace vrx
