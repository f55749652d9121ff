// Fuzz target of the recording reader: any bytes are read or refused without a fault, a refusal
// names a line and a column within the text, and the rows taken write back to a recording that
// reads the same.

#include "protocol/command_errors.h"
#include "protocol/recording_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::pair<int64_t, vrx::PassRow>> rows;
    try {
        vrx::ReadRecording(text, "fuzz.csv", [&](int64_t ms, const vrx::PassRow& row) {
            rows.emplace_back(ms, row);
        });
    } catch (const vrx::FileRefused& e) {
        if (e.line < 1 || size_t(e.line) > size + 1) {
            std::abort();
        }
        return 0;
    }
    std::string again = vrx::PassCsvHeader(false) + "\n";
    for (const auto& [ms, row] : rows) {
        again += vrx::PassCsvLine(ms, row) + "\n";
    }
    std::vector<std::pair<int64_t, vrx::PassRow>> back;
    vrx::ReadRecording(again, "again.csv",
                       [&](int64_t ms, const vrx::PassRow& row) { back.emplace_back(ms, row); });
    if (back.size() != rows.size()) {
        std::abort();
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        if (back[i].first != rows[i].first || back[i].second.values != rows[i].second.values ||
            back[i].second.status != rows[i].second.status) {
            std::abort();
        }
    }
    return 0;
}
