// ram: the chip's RAM to and from .630 files, and the microstep wave table.
#include "chip/ram_file.h"
#include "chip/ram_transfer.h"
#include "chip/wave_shape.h"
#include "ctl/ctl_commands.h"
#include "ctl/ctl_errors.h"
#include "ctl/ctl_values.h"
#include "ctl/stop_request.h"

#include <optional>

namespace vrx::ctl {

namespace {

constexpr int kShapeFirstWord = kShapeFirstByte / 2;

// A read of `expected` words that stopped short.
void NeedRead(int done, int expected) {
    if (done < expected) {
        NoAnswer("; the RAM was not read completely");
    }
}

// A write of `expected` words that stopped short; `again` is the command that writes them all.
void NeedWritten(int done, int expected, const std::string& again) {
    if (done < expected) {
        EndedPartway(StopRequested(), done, expected, "words",
                     "the RAM is partly written (" + again + " writes it again)");
    }
}

void ReadToFile(BoardSession& board, const std::string& path, OutputFile& file, Output& out) {
    RamTable table;
    NeedRead(ReadRamWords(table, Transfers(board)), kRamWords);
    file.Commit(RamFileText(table));
    out.Emit({Text("read", path), Number("words", kRamWords)});
}

void WriteFromFile(BoardSession& board, const std::string& path, const RamTable& table,
                   Output& out) {
    NeedWritten(WriteRamWords(table, Transfers(board)), kRamWords, "ram write " + path);
    out.Emit({Text("written", path), Number("words", kRamWords)});
}

void Shape(BoardSession* board, const Invocation& inv, std::optional<OutputFile>& file,
           Output& out) {
    const double sigma = ParseUnitFraction(inv.sigma).value();
    const auto shape = CalcShapeTable(sigma);
    RamTable table;
    std::string entries;
    for (int i = 0; i < kShapeEntries; ++i) {
        table.SetByte(kShapeFirstByte + i, shape[size_t(i)]);
        entries += (i ? " " : "") + Hex(shape[size_t(i)], 2);
    }
    std::vector<Item> items = {Text("sigma", inv.sigma), Text("shape", entries)};
    if (file) {
        // The file holds the whole RAM: the configuration half comes from the chip.
        NeedRead(ReadRamWords(table, Transfers(*board), 0, kShapeFirstWord - 1), kShapeFirstWord);
        file->Commit(RamFileText(table));
        items.push_back(Text("output", inv.output));
    }
    if (inv.write) {
        NeedWritten(WriteRamWords(table, Transfers(*board), kShapeFirstWord, kRamWords - 1),
                    kRamWords - kShapeFirstWord, "ram shape " + inv.sigma + " --write");
        items.push_back(Number("words", kRamWords - kShapeFirstWord));
    }
    out.Emit(items);
}

} // namespace

void Ram(BoardSession* board, const Invocation& inv, CommandFiles& files, Output& out) {
    if (inv.command == "ram read") {
        ReadToFile(*board, inv.words.front(), *files.output, out);
    } else if (inv.command == "ram write") {
        WriteFromFile(*board, inv.words.front(), *files.ram, out);
    } else {
        Shape(board, inv, files.output, out);
    }
}

} // namespace vrx::ctl
