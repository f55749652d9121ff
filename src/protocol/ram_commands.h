#pragma once
// The chip's 128-byte RAM over the board, read and written as 64 words, whole or in part, and
// the .630 file as a command takes it: read strictly and checked whole before anything is sent.

#include "chip/ram_table.h"
#include "protocol/board_session.h"

#include <string>

namespace vrx {

// Words [first, last] into `table`; NoAnswer when the board stops answering partway.
void ReadRamRange(BoardSession& board, RamTable& table, int first = 0, int last = kRamWords - 1);
// Words [first, last] from `table`; Unfinished when the write ends partway, whose message says
// that `again` writes them again.
void WriteRamRange(BoardSession& board, const RamTable& table, const std::string& again,
                   int first = 0, int last = kRamWords - 1);

// A FileError when the file cannot be read, FileRefused with the line where it departs from
// the form of a .630 file.
RamTable LoadStrictRamFile(const std::string& path);

} // namespace vrx
