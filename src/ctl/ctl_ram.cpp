// ram: the chip's RAM to and from .630 files, and the microstep wave table.
#include "chip/ram_file.h"
#include "chip/wave_shape.h"
#include "ctl/ctl_commands.h"
#include "protocol/field_text.h"
#include "protocol/ram_commands.h"

#include <optional>

namespace vrx::ctl {

namespace {

constexpr int kShapeFirstWord = kShapeFirstByte / 2;

void ReadToFile(BoardSession& board, const std::string& path, OutputFile& file, Output& out) {
    RamTable table;
    ReadRamRange(board, table);
    file.Commit(RamFileText(table));
    out.Emit({Text("read", path), Number("words", kRamWords)});
}

void WriteFromFile(BoardSession& board, const std::string& path, const RamTable& table,
                   Output& out) {
    WriteRamRange(board, table, "ram write " + path);
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
        ReadRamRange(*board, table, 0, kShapeFirstWord - 1);
        file->Commit(RamFileText(table));
        items.push_back(Text("output", inv.output));
    }
    if (inv.write) {
        WriteRamRange(*board, table, "ram shape " + inv.sigma + " --write", kShapeFirstWord,
                      kRamWords - 1);
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
