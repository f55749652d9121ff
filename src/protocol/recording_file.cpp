#include "protocol/recording_file.h"

#include "protocol/command_errors.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <vector>

namespace vrx {

namespace {

std::vector<std::string> Split(const std::string& header) {
    std::vector<std::string> names;
    for (size_t start = 0, comma = 0; comma != std::string::npos; start = comma + 1) {
        comma = header.find(',', start);
        names.push_back(header.substr(start, comma - start));
    }
    return names;
}

// Reads one recording line after line, the header first.
class RecordingReader {
public:
    RecordingReader(const std::string& name, const RecordedRow& row)
        : name_(name), row_(row), plain_(Split(PassCsvHeader(false))),
          withUnits_(Split(PassCsvHeader(true))) {}

    void Line(std::string_view line) {
        ++number_;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (number_ == 1) {
            Header(line);
        } else {
            Row(line);
        }
    }
    void End() const {
        if (number_ == 0) {
            Refuse(1, 1, "no header: not a recording");
        }
    }
    size_t Rows() const { return rows_; }

private:
    [[noreturn]] void Refuse(size_t line, size_t column, const std::string& why) const {
        throw FileRefused(name_ + ", line " + std::to_string(line) + ", column " +
                              std::to_string(column) + ": " + why,
                          name_, int(line), std::string());
    }

    void Header(std::string_view line) {
        if (line == PassCsvHeader(true)) {
            columns_ = &withUnits_;
        } else if (line == PassCsvHeader(false)) {
            columns_ = &plain_;
        } else {
            Refuse(1, 1, "not the header of a recording (" + PassCsvHeader(false) + ", ...)");
        }
    }

    void Row(std::string_view line) {
        PassRow row;
        int64_t timeMs = 0;
        size_t field = 0;
        size_t start = 0;
        for (;;) {
            const size_t comma = line.find(',', start);
            const std::string_view text = line.substr(start, comma - start);
            if (field >= columns_->size()) {
                Refuse(number_, start + 1,
                       "more fields than the header's " + std::to_string(columns_->size()));
            }
            Field(field, text, start, timeMs, row);
            ++field;
            if (comma == std::string_view::npos) {
                break;
            }
            start = comma + 1;
        }
        if (field < columns_->size()) {
            Refuse(number_, line.size() + 1, (*columns_)[field] + " is missing");
        }
        ++rows_;
        row_(timeMs, row);
    }

    void Field(size_t field, std::string_view text, size_t at, int64_t& timeMs, PassRow& row) {
        const std::string& name = (*columns_)[field];
        const size_t status = 1 + row.values.size();
        if (field > status) {
            // A steps/s column: a plain decimal, which the window works out again itself.
            double value = 0;
            const auto [end, error] =
                std::from_chars(text.data(), text.data() + text.size(), value);
            if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
                Refuse(number_, at + 1, name + " is not a number");
            }
            return;
        }
        int64_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
            Refuse(number_, at + 1, name + " is not a number");
        }
        const bool fits = field == 0        ? true
                          : field == status ? value >= 0 && value <= 255
                                            : value >= std::numeric_limits<int32_t>::min() &&
                                                  value <= std::numeric_limits<int32_t>::max();
        if (!fits) {
            Refuse(number_, at + 1, name + " " + std::string(text) + " is out of its range");
        }
        if (field == 0) {
            timeMs = value;
        } else if (field == status) {
            row.status = uint8_t(value);
        } else {
            row.values[field - 1] = int32_t(value);
        }
    }

    const std::string& name_;
    const RecordedRow& row_;
    const std::vector<std::string> plain_;
    const std::vector<std::string> withUnits_;
    const std::vector<std::string>* columns_ = nullptr;
    size_t number_ = 0;
    size_t rows_ = 0;
};

} // namespace

size_t ReadRecording(std::string_view text, const std::string& name, const RecordedRow& row) {
    RecordingReader reader(name, row);
    // Only whole lines: the last one without its line end is still being written.
    for (size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
        reader.Line(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    reader.End();
    return reader.Rows();
}

size_t LoadRecording(const std::string& path, const RecordedRow& row) {
    std::ifstream file(std::filesystem::path(std::u8string(path.begin(), path.end())),
                       std::ios::binary);
    if (!file) {
        throw FileError("cannot read " + path + ": " + std::strerror(errno));
    }
    RecordingReader reader(path, row);
    std::string line;
    while (std::getline(file, line)) {
        if (file.eof()) {
            break; // no line end: the row is still being written
        }
        reader.Line(line);
    }
    reader.End();
    return reader.Rows();
}

} // namespace vrx
