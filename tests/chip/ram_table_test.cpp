#include "chip/ram_file.h"
#include "chip/ram_transfer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vrx {
namespace {

RamTable Filled(const char* cell) {
    RamTable table;
    for (int n = 0; n < kRamBytes; ++n) {
        table.SetCell(n, cell);
    }
    return table;
}

std::vector<std::string> Row(const RamTable& table, int row) {
    std::vector<std::string> cells;
    for (int c = 0; c < RamTable::kColumns; ++c) {
        cells.push_back(table.Cell(row * RamTable::kColumns + c));
    }
    return cells;
}

TEST(RamTable, CompleteOnlyWithTwoHexDigitsInEveryCell) {
    EXPECT_FALSE(RamTable().Complete());
    RamTable table = Filled("a3");
    EXPECT_TRUE(table.Complete());
    EXPECT_EQ(table.Byte(5), 0xA3);
    for (const char* bad : {"A", "1FF", "G0", " 1", ""}) {
        table.SetCell(127, bad);
        EXPECT_FALSE(table.Complete()) << bad;
    }
    EXPECT_EQ(RamWriteTelegram(0, 0x12, 0x34), (Telegram{0x80, 0x00, 0x34, 0x12}));
    EXPECT_EQ(RamReadTelegram(63), (Telegram{0xFF, 0, 0, 0}));
}

TEST(RamFile, SavedTableIsEightCrLfLinesOf392Bytes) {
    const std::string text = RamFileText(Filled("00"));
    ASSERT_EQ(text.size(), 392u);
    const std::string line = "00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00\r\n";
    for (int r = 0; r < 8; ++r) {
        EXPECT_EQ(text.substr(size_t(r) * 49, 49), line);
    }
    RamTable loaded;
    LoadRamFile(RamFileText(Filled("7E")), loaded);
    EXPECT_EQ(RamFileText(loaded), RamFileText(Filled("7E")));
}

struct LoadCase {
    const char* what;
    std::string text;
    int row;                           // the row looked at
    std::vector<std::string> expected; // its sixteen cells; the table starts as all "EE"
    RamFileFault fault;                // where it is first not well formed; {0, 0}: nowhere
};

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.what;
}

class RamFileLoad : public testing::TestWithParam<LoadCase> {};

TEST_P(RamFileLoad, FollowsTheReaderRules) {
    RamTable table = Filled("EE");
    const auto fault = LoadRamFile(GetParam().text, table);
    EXPECT_EQ(Row(table, GetParam().row), GetParam().expected);
    EXPECT_EQ(fault ? fault->line : 0, GetParam().fault.line);
    EXPECT_EQ(fault ? fault->field : 0, GetParam().fault.field);
}

std::vector<std::string> Cells(std::vector<std::string> first, const char* rest = "EE") {
    first.resize(16, rest);
    return first;
}

const std::string kFull = "01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10";
const std::vector<std::string> kFullCells = {"01", "02", "03", "04", "05", "06", "07", "08",
                                             "09", "0A", "0B", "0C", "0D", "0E", "0F", "10"};

std::string Lines(int count, const std::string& line = kFull, const char* end = "\r\n") {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += line + end;
    }
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Quirks, RamFileLoad,
    testing::Values(
        LoadCase{"short, long, empty and non-hex fields",
                 "5,1ff,,x\r\n",
                 0,
                 Cells({"05", "1FF", "00", "00"}),
                 {1, 1}},
        LoadCase{"empty line", "\r\n", 0, Cells({"00"}), {1, 1}},
        LoadCase{"missing line", Lines(3), 5, Cells({"00"}), {4, 1}},
        LoadCase{"more than 16 fields", kFull + ",11,12\r\n", 0, kFullCells, {1, 17}},
        LoadCase{"trailing comma", "ab,cd,\r\n", 0, Cells({"AB", "CD"}), {1, 3}},
        LoadCase{"LF and lone CR end lines too", "1\n2\r3\r\n4", 3, Cells({"04"}), {1, 1}},
        LoadCase{"lines after the eighth ignored", Lines(8) + "9\n", 7, kFullCells, {9, 1}},
        LoadCase{"blank and sign are not hex",
                 " 1,+2,-3,0x4",
                 0,
                 Cells({"00", "00", "00", "00"}),
                 {1, 1}},
        LoadCase{"too long for any number: its digits",
                 "000123456789abcdef0123456789ABCDEF01234567",
                 0,
                 Cells({"123456789ABCDEF0123456789ABCDEF01234567"}),
                 {1, 1}},
        LoadCase{
            "NUL bytes are not digits", std::string("1\0,2", 4), 0, Cells({"00", "02"}), {1, 1}},
        // Well formed: the saved form, with LF, a comma closing each line, a missing last line
        // end, or blank lines after the table.
        LoadCase{"saved form", Lines(8), 7, kFullCells, {0, 0}},
        LoadCase{"LF, trailing commas, blank lines after",
                 Lines(8, kFull + ",", "\n") + "\n\n",
                 7,
                 kFullCells,
                 {0, 0}},
        LoadCase{"no final line end", Lines(7) + kFull, 7, kFullCells, {0, 0}},
        LoadCase{"a one-digit field further on",
                 Lines(2) + "1" + kFull.substr(2) + "\r\n",
                 2,
                 kFullCells,
                 {3, 1}}));

TEST(RamFile, AnEndlessLineIsReadOnlyAsFarAsTheBound) {
    size_t produced = 0;
    RamTable table;
    LoadRamFile([&] { return ++produced % 3 == 0 ? ',' : 'f'; }, table);
    EXPECT_EQ(produced, kMaxRamFileBytes);
    EXPECT_EQ(table.Cell(0), "FF");
    EXPECT_EQ(table.Cell(15), "FF");
    EXPECT_EQ(table.Cell(16), "00"); // the rows after it read as missing lines
}

TEST(RamTransfer, StopsAtTheFirstWordWithoutAnAnswer) {
    std::vector<Telegram> sent;
    const auto answerFirst = [&](int count) {
        return [&, count](const Telegram& t) -> std::optional<Answer> {
            sent.push_back(t);
            if (int(sent.size()) > count) {
                return std::nullopt;
            }
            return Answer::Make(0, 0x100 * t.b0 + 0x11);
        };
    };
    RamTable table = Filled("EE");
    EXPECT_EQ(ReadRamWords(table, answerFirst(3)), 3);
    EXPECT_EQ(sent.size(), 4u);
    EXPECT_EQ(table.Cell(0), "11"); // byte 2k from bits 7..0
    EXPECT_EQ(table.Cell(1), "81"); // byte 2k+1 from bits 15..8
    EXPECT_EQ(table.Cell(5), "85");
    EXPECT_EQ(table.Cell(6), "");
    EXPECT_EQ(table.Cell(127), "");

    sent.clear();
    EXPECT_EQ(WriteRamWords(Filled("5A"), answerFirst(64), 32, 63), 32);
    ASSERT_EQ(sent.size(), 32u);
    EXPECT_EQ(sent.front(), (Telegram{0xC0, 0, 0x5A, 0x5A}));
    EXPECT_EQ(sent.back().b0, 0xFE);
}

} // namespace
} // namespace vrx
