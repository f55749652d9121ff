#include "chip/ram_file.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace vrx {

namespace {

// A line without its end: CR LF, LF and a lone CR each end a line. Nothing when the input
// ended before the line began.
std::optional<std::string> NextLine(const std::function<int()>& nextChar, int& pending) {
    std::string line;
    int c = pending >= 0 ? pending : nextChar();
    pending = -1;
    if (c < 0) {
        return std::nullopt;
    }
    for (; c >= 0; c = nextChar()) {
        if (c == '\n') {
            break;
        }
        if (c == '\r') {
            const int next = nextChar();
            if (next != '\n') {
                pending = next;
            }
            break;
        }
        if (line.size() < kMaxRamFileLine) {
            line += static_cast<char>(c);
        }
    }
    return line;
}

// The cell text of one field: its digits upper-cased, leading zeros dropped down to two
// digits; "00" for anything that is not a hexadecimal number.
std::string FieldCell(std::string_view field) {
    const bool hex = !field.empty() && std::all_of(field.begin(), field.end(), [](char c) {
        return std::isxdigit(static_cast<unsigned char>(c)) != 0;
    });
    if (!hex) {
        return "00";
    }
    while (field.size() > 2 && field.front() == '0') {
        field.remove_prefix(1);
    }
    std::string cell(field.size() < 2 ? 2 - field.size() : 0, '0');
    for (char c : field) {
        cell += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return cell;
}

void LoadLine(std::string_view line, int row, RamTable& table) {
    size_t pos = 0;
    int field = 0;
    do {
        const size_t comma = line.find(',', pos);
        const size_t end = comma == std::string_view::npos ? line.size() : comma;
        table.SetCell(row * RamTable::kColumns + field, FieldCell(line.substr(pos, end - pos)));
        ++field;
        pos = end + 1;
    } while (pos < line.size() && field < RamTable::kColumns);
}

} // namespace

std::string RamFileText(const RamTable& table) {
    std::string text;
    for (int row = 0; row < RamTable::kRows; ++row) {
        for (int column = 0; column < RamTable::kColumns; ++column) {
            if (column > 0) {
                text += ',';
            }
            text += table.Cell(row * RamTable::kColumns + column);
        }
        text += "\r\n";
    }
    return text;
}

void LoadRamFile(const std::function<int()>& nextChar, RamTable& table) {
    size_t taken = 0;
    const std::function<int()> bounded = [&] {
        return taken++ < kMaxRamFileBytes ? nextChar() : -1;
    };
    int pending = -1;
    for (int row = 0; row < RamTable::kRows; ++row) {
        LoadLine(NextLine(bounded, pending).value_or(std::string()), row, table);
    }
}

void LoadRamFile(std::string_view text, RamTable& table) {
    size_t pos = 0;
    LoadRamFile([&] { return pos < text.size() ? static_cast<unsigned char>(text[pos++]) : -1; },
                table);
}

} // namespace vrx
