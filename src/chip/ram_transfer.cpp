#include "chip/ram_transfer.h"

namespace vrx {

int ReadRamWords(RamTable& table, const TransferFunction& transfer, int first, int last,
                 const WordProgress& progress) {
    for (int word = first; word <= last; ++word) {
        const std::optional<Answer> answer = transfer(RamReadTelegram(word));
        if (!answer) {
            table.ClearFrom(2 * word);
            return word - first;
        }
        table.SetWord(word, *answer);
        if (progress) {
            progress(word - first + 1);
        }
    }
    return last - first + 1;
}

int WriteRamWords(const RamTable& table, const TransferFunction& transfer, int first, int last,
                  const WordProgress& progress) {
    for (int word = first; word <= last; ++word) {
        if (!transfer(RamWriteTelegram(word, table.Byte(2 * word), table.Byte(2 * word + 1)))) {
            return word - first;
        }
        if (progress) {
            progress(word - first + 1);
        }
    }
    return last - first + 1;
}

} // namespace vrx
