#include "chip/atomic_file.h"

#include <atomic>

namespace vrx {

std::filesystem::path AtomicFile::TemporaryPath(unsigned long process) const {
    // The count keeps apart two writers in one process; the process id those of two runs.
    static std::atomic<unsigned> count{0};
    const std::string tag = "." + std::to_string(process) + "-" + std::to_string(count++) + ".tmp";
    std::filesystem::path temp = target_;
    temp.replace_filename(u8"." + target_.filename().u8string() +
                          std::u8string(tag.begin(), tag.end()));
    return temp;
}

std::string WriteFileAtomically(const std::string& path, std::string_view data) {
    AtomicFile file(path);
    file.Commit(data);
    return file.Error();
}

} // namespace vrx
