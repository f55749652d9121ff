#include "sim/cli/device_link.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace vrx::sim {

namespace {

std::string ReadLink(const std::string& path) {
    char buffer[4096];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
    return n < 0 ? std::string() : std::string(buffer, static_cast<size_t>(n));
}

} // namespace

DeviceLink::Result DeviceLink::Create(const std::string& linkPath, const std::string& target,
                                      std::string& error) {
    Remove();
    struct stat info {};
    if (::lstat(linkPath.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            error = linkPath + " exists and is not a symbolic link";
            return Result::Taken;
        }
        // Only a link whose device is gone is stale; the one of a running simulator is not.
        if (::stat(linkPath.c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR)) {
            error = linkPath + " is in use: it links to " + ReadLink(linkPath) +
                    ", which is there (another vrx630-sim serving it?)";
            return Result::Taken;
        }
        if (::unlink(linkPath.c_str()) != 0) {
            error = "cannot remove the stale link " + linkPath + ": " + std::strerror(errno);
            return Result::Failed;
        }
    }
    if (::symlink(target.c_str(), linkPath.c_str()) != 0) {
        error = "cannot create the link " + linkPath + ": " + std::strerror(errno);
        return Result::Failed;
    }
    linkPath_ = linkPath;
    target_ = target;
    return Result::Made;
}

void DeviceLink::Remove() {
    if (linkPath_.empty()) {
        return;
    }
    if (ReadLink(linkPath_) == target_) {
        ::unlink(linkPath_.c_str());
    }
    linkPath_.clear();
    target_.clear();
}

} // namespace vrx::sim
