// The rows of polling passes: which passes make a row, and the recorder that streams them into
// a file, flushes once a second and stops at the first write that fails, keeping what came
// before.
#include "protocol/pass_recorder.h"

#include "chip/poll_slots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace vrx {
namespace {

// Every telegram slot of a pass answered with its own number as the value, status 0x40 last.
void AnswerPass(PassCollector& pass, int skip = -1) {
    for (int slot = 0; slot < kFirstQuerySlot; ++slot) {
        if (slot != skip) {
            pass.Take(slot, slot - 10, uint8_t(slot == kFirstQuerySlot - 1 ? 0x40 : 0x01));
        }
    }
}

TEST(PassRow, ACompletePassMakesTheRowAndAPartlyAnsweredOneNone) {
    PassCollector pass;
    EXPECT_FALSE(pass.Finish()) << "nothing came yet";
    AnswerPass(pass);
    const auto row = pass.Finish();
    ASSERT_TRUE(row);
    EXPECT_EQ(PassCsvHeader(),
              "time_ms,X_ACTUAL_1,V_ACTUAL_1,A_ACTUAL_1,V_TARGET_1,X_ACTUAL_2,V_ACTUAL_2,"
              "A_ACTUAL_2,V_TARGET_2,X_ACTUAL_3,V_ACTUAL_3,A_ACTUAL_3,V_TARGET_3,STATUS");
    // Slots 1, 5, 7, 4 of each motor, 15 apart; the value is the slot less 10.
    EXPECT_EQ(PassCsvLine(120, *row), "120,-9,-5,-3,-6,6,10,12,9,21,25,27,24,64");
    // With units: V_ACTUAL, A_ACTUAL, V_TARGET of each motor in steps/s and steps/s² after the
    // raw columns, at 16 MHz; motor 1 at PULSDIV 7, RAMPDIV 7, the others at 0 and 0.
    MotionUnits units;
    units.SetDividers(1, 0x7700);
    EXPECT_EQ(PassCsvHeader(true),
              PassCsvHeader() +
                  ",V_ACTUAL_1_STEPS_S,A_ACTUAL_1_STEPS_S2,V_TARGET_1_STEPS_S,V_ACTUAL_2_STEPS_S,"
                  "A_ACTUAL_2_STEPS_S2,V_TARGET_2_STEPS_S,V_ACTUAL_3_STEPS_S,A_ACTUAL_3_STEPS_S2,"
                  "V_TARGET_3_STEPS_S");
    EXPECT_EQ(PassCsvLine(120, *row, &units),
              PassCsvLine(120, *row) +
                  ",-9.53674,-87.3115,-11.4441,2441.41,5722046,2197.27,6103.52,12874603,5859.38");
    EXPECT_FALSE(pass.Finish()) << "the next pass starts empty";
    AnswerPass(pass, VActualSlot(2));
    EXPECT_FALSE(pass.Finish()) << "one value missing";
}

// Keeps what is written; fails every write from the `failAt`-th on.
class FakeSink : public RowSink {
public:
    FakeSink(std::string& text, int& flushes, int failAt)
        : text_(text), flushes_(flushes), failAt_(failAt) {}
    bool Write(const std::string& bytes) override {
        if (++writes_ >= failAt_) {
            return false;
        }
        text_ += bytes;
        return true;
    }
    bool Flush() override {
        ++flushes_;
        return writes_ < failAt_;
    }
    std::string Error() const override { return "No space left on device"; }

private:
    std::string& text_;
    int& flushes_;
    int failAt_;
    int writes_ = 0;
};

TEST(PassRecorder, StreamsRowsFlushesOnceASecondAndStopsAtTheFirstFailedWrite) {
    std::string text;
    int flushes = 0;
    uint32_t now = 4'294'967'000u; // the clock wraps during the recording
    PassRecorder recorder(std::make_unique<FakeSink>(text, flushes, 6), [&] { return now; });
    PassRow row;
    for (int i = 0; i < 8; ++i) {
        now += 300;
        row.values[0] = i;
        recorder.Record(row);
    }
    EXPECT_TRUE(recorder.Failed());
    EXPECT_EQ(recorder.Error(), "No space left on device");
    EXPECT_EQ(recorder.Rows(), 4);
    EXPECT_EQ(flushes, 1) << "after a second; none once failed";
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, PassCsvHeader());
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(std::getline(lines, line));
        EXPECT_EQ(line.substr(0, line.find(',', line.find(',') + 1)),
                  std::to_string(300 * (i + 1)) + "," + std::to_string(i));
    }
    EXPECT_FALSE(std::getline(lines, line));
}

TEST(PassRecorder, WithUnitsEachRowTakesTheDividersOfItsMoment) {
    std::string text;
    int flushes = 0;
    MotionUnits units;
    units.SetClockMhz(32);
    PassRecorder recorder(
        std::make_unique<FakeSink>(text, flushes, 99), [] { return 0u; }, &units);
    PassRow row;
    row.values[1] = 1000; // V_ACTUAL_1
    recorder.Record(row);
    units.SetDividers(1, 0x1000); // PULSDIV 1 halves the step rate
    recorder.Record(row);
    std::istringstream lines(text);
    std::string header, first, second;
    std::getline(lines, header);
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_EQ(header, PassCsvHeader(true));
    // After the raw columns, which stay as they are.
    EXPECT_EQ(first.substr(PassCsvLine(0, row).size()), ",488281,0,0,0,0,0,0,0,0");
    EXPECT_EQ(second.substr(PassCsvLine(0, row).size()), ",244141,0,0,0,0,0,0,0,0");
}

#ifndef _WIN32 // Windows does not remove a file that is open
TEST(FileRowSink, AFileRemovedWhileRecordingIsNoticedAtTheNextFlush) {
    const auto path = std::filesystem::temp_directory_path() / "vrx630-recorder-test.csv";
    FileRowSink sink;
    ASSERT_TRUE(sink.Open(path.string())) << sink.Error();
    EXPECT_TRUE(sink.Write("time_ms\n"));
    EXPECT_TRUE(sink.Flush());
    std::filesystem::remove(path);
    EXPECT_TRUE(sink.Write("0\n")); // the system still takes it
    EXPECT_FALSE(sink.Flush());
    EXPECT_EQ(sink.Error(), std::strerror(ENOENT));
    EXPECT_TRUE(sink.Removed());
    FileRowSink missing;
    EXPECT_FALSE(missing.Open((path / "no" / "folder.csv").string()));
    EXPECT_FALSE(missing.Error().empty());
    EXPECT_FALSE(missing.Removed());
}

// A disk that fills up part-way through a row, as a file size limit does.
TEST(FileRowSink, AFullDiskLeavesTheFileEndingWithAWholeRowAndCountsOnlyThose) {
    const auto path = std::filesystem::temp_directory_path() / "vrx630-recorder-full.csv";
    PassRow row;
    row.values.fill(123456);
    const size_t rowBytes = PassCsvLine(0, row).size() + 1;
    const size_t limit = PassCsvHeader().size() + 1 + 2 * rowBytes + rowBytes / 2; // mid-row
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = limit;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    int rows = 0;
    bool failed = false;
    {
        auto sink = std::make_unique<FileRowSink>();
        ASSERT_TRUE(sink->Open(path.string())) << sink->Error();
        PassRecorder recorder(std::move(sink));
        for (int i = 0; i < 10 && !recorder.Failed(); ++i) {
            recorder.Record(row);
        }
        recorder.Finish();
        rows = recorder.Rows();
        failed = recorder.Failed();
        EXPECT_EQ(recorder.Error(), std::strerror(EFBIG));
    }
    ::setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_TRUE(failed);
    std::ifstream file(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), {});
    std::filesystem::remove(path);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n') << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + rows) << text;
    EXPECT_EQ(rows, 2);
}
#endif

} // namespace
} // namespace vrx
