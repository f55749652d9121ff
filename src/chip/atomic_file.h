#pragma once
// AtomicFile: writes a file whole or not at all. The data go to a temporary file of the writer's
// own beside the target, created new (never through a name that exists, a symbolic link
// included), are flushed to the disk, and the temporary file then takes the target's place by a
// rename, which is flushed too. A crash, a full disk or a second writer of the same file leaves
// the old file or a new one, never part of either. A target that is a symbolic link stays one:
// the file it points at is written, beside which the temporary file is made, as editors do.
// Every program that saves a file uses it.
//
//   AtomicFile file(path);            // an unwritable place shows here, before the data are made
//   if (!file.Commit(text)) { report(file.Error()); }

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vrx {

class AtomicFile {
public:
    // `path` in UTF-8 (on POSIX systems, the bytes of the name). Creates the temporary file.
    explicit AtomicFile(const std::string& path);
    // Without a successful Commit the temporary file goes and the target stays as it was.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Empty while all is well, else the system's reason for the failure.
    const std::string& Error() const { return error_; }
    // Writes the data and puts them in the target's place; false with Error() on failure.
    bool Commit(std::string_view data);

private:
    // The file `path` names at last, through any symbolic links; `path` where it names none.
    static std::filesystem::path LinkedFile(const std::filesystem::path& path);
    // A hidden name beside the target, unique to this process and attempt.
    std::filesystem::path TemporaryPath(unsigned long process) const;
    bool Fail(); // records the system's reason and discards the temporary file
    void Discard();

    std::filesystem::path target_;
    std::filesystem::path temp_; // empty once renamed or removed
    std::string error_;
    intptr_t handle_ = -1; // a file descriptor, or on Windows a HANDLE
};

// AtomicFile in one call: empty on success, else the system's reason.
std::string WriteFileAtomically(const std::string& path, std::string_view data);

} // namespace vrx
