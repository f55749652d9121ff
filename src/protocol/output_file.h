#pragma once
// A file a command writes: begun at construction (an AtomicFile), so an unwritable place is
// refused before the board is asked; replaced at Commit, and left as it was otherwise. Either
// failure is a FileError with the system's reason.

#include "chip/atomic_file.h"

#include <string>

namespace vrx {

class OutputFile {
public:
    explicit OutputFile(std::string path);
    void Commit(const std::string& text);

private:
    [[noreturn]] void Unwritable() const;

    std::string path_;
    AtomicFile file_;
};

} // namespace vrx
