#include "chip/strict_ram_file.h"

#include <vector>

namespace vrx {

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

// The field as typed, within quotes; cut short and with unprintable bytes as '?', so the
// message stays one readable line.
std::string Quoted(std::string_view field) {
    constexpr size_t kShown = 12;
    std::string text = "\"";
    for (const char c : field.substr(0, kShown)) {
        text += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return text + (field.size() > kShown ? "...\"" : "\"");
}

std::optional<RamFileError> ReadLine(std::string_view line, int row, RamTable& table) {
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    if (line.ends_with(',')) {
        line.remove_suffix(1);
    }
    const std::vector<std::string_view> fields = Split(line, ',');
    for (size_t i = 0; i < fields.size(); ++i) {
        const int field = int(i) + 1;
        if (field > RamTable::kColumns) {
            return RamFileError{row + 1, field, "more than sixteen bytes on the line"};
        }
        if (!RamTable::ValidCell(fields[i])) {
            return RamFileError{row + 1, field,
                                Quoted(fields[i]) + " is not a two-digit hexadecimal byte"};
        }
        const int byte = row * RamTable::kColumns + int(i);
        table.SetCell(byte, std::string(fields[i]));
        table.SetByte(byte, table.Byte(byte)); // in upper case, as the table shows a byte
    }
    if (fields.size() < size_t(RamTable::kColumns)) {
        return RamFileError{row + 1, int(fields.size()) + 1,
                            "only " + std::to_string(fields.size()) + " bytes, sixteen needed"};
    }
    return std::nullopt;
}

} // namespace

std::string RamFileError::Text() const {
    return "line " + std::to_string(line) + (field > 0 ? ", field " + std::to_string(field) : "") +
           ": " + what;
}

std::optional<RamFileError> ReadRamFileStrictly(std::string_view text, RamTable& table) {
    if (text.size() > kMaxStrictRamFileBytes) {
        return RamFileError{1, 0, "longer than any .630 file"};
    }
    if (text.ends_with('\n')) {
        text.remove_suffix(1); // the newline after the last line
    }
    const std::vector<std::string_view> lines = Split(text, '\n');
    for (size_t row = 0; row < lines.size(); ++row) {
        if (row >= size_t(RamTable::kRows)) {
            return RamFileError{int(row) + 1, 1, "more than eight lines"};
        }
        if (auto error = ReadLine(lines[row], int(row), table)) {
            return error;
        }
    }
    if (lines.size() < size_t(RamTable::kRows)) {
        return RamFileError{int(lines.size()) + 1, 1,
                            "missing: eight lines of sixteen bytes needed"};
    }
    return std::nullopt;
}

} // namespace vrx
