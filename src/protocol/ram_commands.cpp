#include "protocol/ram_commands.h"

#include "chip/ram_transfer.h"
#include "chip/strict_ram_file.h"
#include "protocol/command_errors.h"
#include "protocol/input_file.h"
#include "protocol/required_answer.h"

namespace vrx {

void ReadRamRange(BoardSession& board, RamTable& table, int first, int last) {
    if (ReadRamWords(table, Transfers(board), first, last) < last - first + 1) {
        Unanswered(board, "; the RAM was not read completely");
    }
}

void WriteRamRange(BoardSession& board, const RamTable& table, const std::string& again, int first,
                   int last) {
    const int expected = last - first + 1;
    const int done = WriteRamWords(table, Transfers(board), first, last);
    if (done < expected) {
        EndedPartway(board.Cancelled(), done, expected, "words",
                     "the RAM is partly written (" + again + " writes it again)");
    }
}

RamTable LoadStrictRamFile(const std::string& path) {
    RamTable table;
    if (const auto error =
            ReadRamFileStrictly(ReadInputFile(path, kMaxStrictRamFileBytes), table)) {
        throw FileRefused(path + " is not a .630 file: " + error->Text(), path, error->line, "");
    }
    return table;
}

} // namespace vrx
