#include "protocol/pass_recorder.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace vrx {

FileRowSink::~FileRowSink() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool FileRowSink::Open(const std::string& path) {
    path_ = path;
    file_ = std::fopen(path.c_str(), "wb");
    return file_ != nullptr || Fail(errno);
}

bool FileRowSink::Fail(int error) {
    error_ = std::strerror(error);
    return false;
}

bool FileRowSink::Write(const std::string& bytes) {
    if (file_ == nullptr) {
        return false;
    }
    return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size() || Fail(errno);
}

bool FileRowSink::Flush() {
    if (file_ == nullptr) {
        return false;
    }
    if (std::fflush(file_) != 0) {
        return Fail(errno);
    }
    // Still the same file under its name? A removed file takes every later row with it.
    struct stat named {};
    struct stat open {};
    if (::stat(path_.c_str(), &named) != 0) {
        return Fail(errno);
    }
    if (::fstat(fileno(file_), &open) != 0) {
        return Fail(errno);
    }
    if (named.st_dev != open.st_dev || named.st_ino != open.st_ino) {
        return Fail(ENOENT);
    }
    return true;
}

PassRecorder::PassRecorder(std::unique_ptr<RowSink> sink, TickClock clock)
    : sink_(std::move(sink)), clock_(std::move(clock)), start_(clock_()), lastFlush_(start_) {
    Check(sink_->Write(PassCsvHeader() + "\n"));
}

bool PassRecorder::Check(bool ok) {
    failed_ = failed_ || !ok;
    return ok;
}

void PassRecorder::Record(const PassRow& row) {
    if (failed_) {
        return;
    }
    if (Check(sink_->Write(PassCsvLine(TicksSince(clock_(), start_), row) + "\n"))) {
        ++rows_;
    }
    Tick();
}

void PassRecorder::Tick() {
    if (!failed_ && TicksSince(clock_(), lastFlush_) >= kFlushIntervalMs) {
        lastFlush_ = clock_();
        Check(sink_->Flush());
    }
}

void PassRecorder::Finish() {
    if (!failed_) {
        Check(sink_->Flush());
    }
}

} // namespace vrx
