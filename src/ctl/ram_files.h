#pragma once
// The files of `ram`: a .630 file read strictly, and an output file that is replaced only once
// it is written whole. A file that cannot be read or written is a usage error, found before
// anything is sent.

#include "chip/atomic_file.h"
#include "chip/ram_table.h"

#include <string>

namespace vrx::ctl {

RamTable LoadStrictRamFile(const std::string& path);

// Begun at construction (an AtomicFile), so an unwritable place is refused before the board is
// asked; the file is replaced at Commit, and left as it was otherwise.
class OutputFile {
public:
    explicit OutputFile(std::string path);
    void Commit(const std::string& text);

private:
    [[noreturn]] void Unwritable() const;

    std::string path_;
    AtomicFile file_;
};

} // namespace vrx::ctl
