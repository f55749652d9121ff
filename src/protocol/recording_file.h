#pragma once
// A recording read back: the CSV that the program's recorder and `vrx630ctl watch` write, with or
// without the steps/s columns: the header, then a row per pass. A file still being written is
// read to its last whole row. Anything else is refused at its line and column, and the caller
// keeps nothing of it.

#include "protocol/pass_row.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vrx {

// Each row as it is read: the time as written (milliseconds, negative before a trigger) and its
// values and status byte.
using RecordedRow = std::function<void(int64_t timeMs, const PassRow& row)>;

// `text` read under the name `name`; a FileRefused ("run.csv, line 3, column 5: X_ACTUAL_1 is
// not a number") for a file that is no recording. Returns the rows read.
size_t ReadRecording(std::string_view text, const std::string& name, const RecordedRow& row);
// The same from the file at `path`, a line at a time, so a long recording costs its rows only;
// a FileError when it cannot be read.
size_t LoadRecording(const std::string& path, const RecordedRow& row);

} // namespace vrx
