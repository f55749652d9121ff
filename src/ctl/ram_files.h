#pragma once
// The files of `ram`: a .630 file read strictly, and an output file that is replaced only once
// it is written whole. A file that cannot be read or written is a usage error, found before
// anything is sent.

#include "chip/ram_table.h"

#include <fstream>
#include <string>

namespace vrx::ctl {

RamTable LoadStrictRamFile(const std::string& path);

// Opened (as PATH.part beside the file) at construction, so an unwritable place is refused
// before the board is asked; the file is replaced at Commit, and the part removed otherwise.
class OutputFile {
public:
    explicit OutputFile(std::string path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Commit(const std::string& text);

private:
    std::string path_;
    std::string part_;
    std::ofstream file_;
    bool committed_ = false;
};

} // namespace vrx::ctl
