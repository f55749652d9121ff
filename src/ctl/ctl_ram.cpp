// ram: the chip's RAM to and from .630 files, and the microstep wave table.
#include "chip/ram_file.h"
#include "chip/ram_transfer.h"
#include "chip/wave_shape.h"
#include "ctl/ctl_commands.h"
#include "ctl/ctl_errors.h"
#include "ctl/ctl_values.h"
#include "ctl/ram_files.h"

#include <optional>

namespace vrx::ctl {

namespace {

constexpr int kShapeFirstWord = kShapeFirstByte / 2;

// A transfer of `expected` words that stopped short.
void NeedWords(int done, int expected, const char* what) {
    if (done < expected) {
        NoAnswer(std::string("; the RAM was not ") + what + " completely");
    }
}

void ReadToFile(BoardSession& board, const std::string& path, Output& out) {
    OutputFile file(path);
    RamTable table;
    NeedWords(ReadRamWords(table, Transfers(board)), kRamWords, "read");
    file.Commit(RamFileText(table));
    out.Emit({Text("read", path), Number("words", kRamWords)});
}

void WriteFromFile(BoardSession& board, const std::string& path, Output& out) {
    const RamTable table = LoadStrictRamFile(path);
    NeedWords(WriteRamWords(table, Transfers(board)), kRamWords, "written");
    out.Emit({Text("written", path), Number("words", kRamWords)});
}

void Shape(BoardSession* board, const Invocation& inv, Output& out) {
    const double sigma = ParseUnitFraction(inv.sigma).value();
    std::optional<OutputFile> file;
    if (!inv.output.empty()) {
        file.emplace(inv.output);
    }
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
        NeedWords(ReadRamWords(table, Transfers(*board), 0, kShapeFirstWord - 1), kShapeFirstWord,
                  "read");
        file->Commit(RamFileText(table));
        items.push_back(Text("output", inv.output));
    }
    if (inv.write) {
        NeedWords(WriteRamWords(table, Transfers(*board), kShapeFirstWord, kRamWords - 1),
                  kRamWords - kShapeFirstWord, "written");
        items.push_back(Number("words", kRamWords - kShapeFirstWord));
    }
    out.Emit(items);
}

} // namespace

void Ram(BoardSession* board, const Invocation& inv, Output& out) {
    if (inv.command == "ram read") {
        ReadToFile(*board, inv.words.front(), out);
    } else if (inv.command == "ram write") {
        WriteFromFile(*board, inv.words.front(), out);
    } else {
        Shape(board, inv, out);
    }
}

} // namespace vrx::ctl
