#pragma once
// Transfers of the RAM table as 64 words, one telegram each, through a transfer function that
// yields the answer or nothing when the board did not answer. A transfer stops at the first
// word without an answer, so no cell is ever filled from an answer that did not come.

#include "chip/ram_table.h"

#include <functional>
#include <optional>

namespace vrx {

using TransferFunction = std::function<std::optional<Answer>(const Telegram&)>;
// Called after each word with the number of words done so far.
using WordProgress = std::function<void(int done)>;

// Reads words [first, last] into the table; the cells of an unanswered word and of all later
// ones are emptied. Returns the number of words read.
int ReadRamWords(RamTable& table, const TransferFunction& transfer, int first = 0,
                 int last = kRamWords - 1, const WordProgress& progress = {});

// Writes words [first, last] from the table's valid cells (an invalid cell goes as 0). Returns
// the number of words the board answered.
int WriteRamWords(const RamTable& table, const TransferFunction& transfer, int first = 0,
                  int last = kRamWords - 1, const WordProgress& progress = {});

} // namespace vrx
