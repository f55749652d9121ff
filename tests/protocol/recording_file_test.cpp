// Recordings read back: what the recorder writes comes back row by row, with or without the
// steps/s columns; a row still being written is left for later; a file that is no recording is
// refused at its line and column.
#include "protocol/recording_file.h"

#include "protocol/command_errors.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

PassRow Row(int32_t base) {
    PassRow row;
    for (size_t v = 0; v < row.values.size(); ++v) {
        row.values[v] = base - int32_t(v);
    }
    row.status = 0x15;
    return row;
}

TEST(RecordingFile, WhatTheRecorderWritesComesBack) {
    MotionUnits units;
    for (const bool withUnits : {false, true}) {
        std::string text = PassCsvHeader(withUnits) + "\r\n";
        for (int i = 0; i < 3; ++i) {
            text += PassCsvLine(-100 + 50 * i, Row(1000 * i), withUnits ? &units : nullptr) + "\n";
        }
        text += "100,1,2"; // still being written
        std::vector<std::pair<int64_t, PassRow>> read;
        const size_t rows = ReadRecording(
            text, "run.csv", [&](int64_t ms, const PassRow& row) { read.emplace_back(ms, row); });
        ASSERT_EQ(rows, 3u) << withUnits;
        ASSERT_EQ(read.size(), 3u);
        EXPECT_EQ(read[0].first, -100);
        EXPECT_EQ(read[2].first, 0);
        EXPECT_EQ(read[2].second.values, Row(2000).values);
        EXPECT_EQ(read[2].second.status, 0x15);
    }
}

TEST(RecordingFile, ANonRecordingIsRefusedAtItsLineAndColumn) {
    const std::string header = PassCsvHeader(false) + "\n";
    const std::string good = PassCsvLine(0, Row(5)) + "\n";
    const std::pair<std::string, std::string> refused[] = {
        {"", "run.csv, line 1, column 1: no header"},
        {"time,x\n", "run.csv, line 1, column 1: not the header of a recording"},
        {header + good + "10,12x,0,0,0,0,0,0,0,0,0,0,0,0\n",
         "run.csv, line 3, column 4: X_ACTUAL_1 is not a number"},
        {header + "10,1,2\n", "run.csv, line 2, column 7: A_ACTUAL_1 is missing"},
        {header + "10,0,0,0,0,0,0,0,0,0,0,0,0,256\n", "STATUS 256 is out of its range"},
        {header + "10,0,0,0,0,0,0,0,0,0,0,0,0,0,5\n", "more fields than the header's 14"},
        {header + "10,9999999999,0,0,0,0,0,0,0,0,0,0,0,0\n", "X_ACTUAL_1 9999999999 is out"},
    };
    for (const auto& [text, why] : refused) {
        size_t rows = 0;
        try {
            ReadRecording(text, "run.csv", [&](int64_t, const PassRow&) { ++rows; });
            ADD_FAILURE() << text << " was taken";
        } catch (const FileRefused& e) {
            EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
        }
    }
}

} // namespace
} // namespace vrx
