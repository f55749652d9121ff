#include "protocol/pass_recorder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vrx {

namespace {

#ifdef _WIN32
constexpr int kOpenFlags = O_BINARY;
#else
constexpr int kOpenFlags = O_CLOEXEC;
#endif

} // namespace

FileRowSink::~FileRowSink() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool FileRowSink::Open(const std::string& path) {
    path_ = path;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | kOpenFlags, 0666);
    return fd_ >= 0 || Fail(errno);
}

bool FileRowSink::Fail(int error) {
    error_ = std::strerror(error);
    return false;
}

bool FileRowSink::Write(const std::string& bytes) {
    if (fd_ < 0) {
        return false;
    }
    for (size_t done = 0; done < bytes.size();) {
        const auto n =
            ::write(fd_, bytes.data() + done, static_cast<unsigned>(bytes.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            // Part of a line is no row: the file ends where the last whole one did.
            (void)!::ftruncate(fd_, static_cast<off_t>(size_));
            ::lseek(fd_, static_cast<off_t>(size_), SEEK_SET);
            return Fail(error);
        }
        done += size_t(n);
    }
    size_ += int64_t(bytes.size());
    return true;
}

bool FileRowSink::Flush() {
    if (fd_ < 0) {
        return false;
    }
    // Still the same file under its name? A removed file takes every later row with it.
    struct stat named {};
    if (::stat(path_.c_str(), &named) != 0) {
        removed_ = errno == ENOENT;
        return Fail(errno);
    }
#ifndef _WIN32 // Windows removes no file that is open, and numbers no files for stat
    struct stat open {};
    if (::fstat(fd_, &open) != 0) {
        return Fail(errno);
    }
    if (named.st_dev != open.st_dev || named.st_ino != open.st_ino) {
        removed_ = true;
        return Fail(ENOENT);
    }
#endif
    return true;
}

PassRecorder::PassRecorder(std::unique_ptr<RowSink> sink, TickClock clock, const MotionUnits* units)
    : sink_(std::move(sink)), clock_(std::move(clock)), units_(units), start_(clock_()),
      lastFlush_(start_) {
    Check(sink_->Write(PassCsvHeader(units_ != nullptr) + "\n"));
}

bool PassRecorder::Check(bool ok) {
    failed_ = failed_ || !ok;
    return ok;
}

void PassRecorder::Record(const PassRow& row) {
    if (failed_) {
        return;
    }
    if (Check(sink_->Write(PassCsvLine(TicksSince(clock_(), start_), row, units_) + "\n"))) {
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
