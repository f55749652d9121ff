// AtomicFile on POSIX systems: open with O_EXCL, fsync, rename, fsync of the folder.
#include "chip/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vrx {

namespace {

constexpr int kAttempts = 100;

} // namespace

std::filesystem::path AtomicFile::LinkedFile(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    fs::path file = path;
    std::error_code error;
    // A bound, as the system's own: a loop of links ends as a failed write of its last name.
    for (int hop = 0; hop < 40 && fs::is_symlink(file, error); ++hop) {
        const fs::path to = fs::read_symlink(file, error);
        if (error) {
            break;
        }
        file = to.is_absolute() ? to : file.parent_path() / to;
    }
    return file;
}

AtomicFile::AtomicFile(const std::string& path)
    : target_(LinkedFile(std::u8string(path.begin(), path.end()))) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        temp_ = TemporaryPath(static_cast<unsigned long>(::getpid()));
        // O_EXCL refuses any name that exists, a symbolic link to someone's file included.
        handle_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (handle_ >= 0 || errno != EEXIST) {
            break;
        }
    }
    if (handle_ < 0) {
        temp_.clear(); // not ours to remove
        Fail();
    }
}

AtomicFile::~AtomicFile() {
    Discard();
}

bool AtomicFile::Commit(std::string_view data) {
    if (handle_ < 0) {
        return false;
    }
    const int fd = int(handle_);
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno != EINTR) {
            return Fail();
        }
        data.remove_prefix(n < 0 ? 0 : size_t(n));
    }
    // A file that is replaced keeps who may read and write it; failing that, the new one has
    // the permissions of a new file, which is no reason to refuse the save.
    struct stat old {};
    if (::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        (void)::fchmod(fd, old.st_mode & 07777);
    }
    if (::fsync(fd) != 0) {
        return Fail();
    }
    handle_ = -1;
    if (::close(fd) != 0 || ::rename(temp_.c_str(), target_.c_str()) != 0) {
        return Fail();
    }
    temp_.clear();
    // The new name lasts a crash only once the folder is on the disk too. The file is in place
    // by now, so a folder that cannot be synced (some file systems refuse) fails nothing.
    const std::filesystem::path folder = target_.parent_path();
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool AtomicFile::Fail() {
    error_ = std::strerror(errno);
    Discard();
    return false;
}

void AtomicFile::Discard() {
    if (handle_ >= 0) {
        ::close(int(handle_));
        handle_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

} // namespace vrx
