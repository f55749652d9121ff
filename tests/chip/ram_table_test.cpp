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
};

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.what;
}

class RamFileLoad : public testing::TestWithParam<LoadCase> {};

TEST_P(RamFileLoad, FollowsTheReaderRules) {
    RamTable table = Filled("EE");
    LoadRamFile(GetParam().text, table);
    EXPECT_EQ(Row(table, GetParam().row), GetParam().expected);
}

std::vector<std::string> Cells(std::vector<std::string> first, const char* rest = "EE") {
    first.resize(16, rest);
    return first;
}

const std::string kFull = "01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10";

INSTANTIATE_TEST_SUITE_P(
    Quirks, RamFileLoad,
    testing::Values(
        LoadCase{"short, long, empty and non-hex fields", "5,1ff,,x\r\n", 0,
                 Cells({"05", "1FF", "00", "00"})},
        LoadCase{"empty line", "\r\n", 0, Cells({"00"})},
        LoadCase{"missing line", "01\r\n02\r\n03\r\n", 5, Cells({"00"})},
        LoadCase{"more than 16 fields", kFull + ",11,12\r\n", 0,
                 Cells({"01", "02", "03", "04", "05", "06", "07", "08", "09", "0A", "0B", "0C",
                        "0D", "0E", "0F", "10"})},
        LoadCase{"trailing comma", "ab,cd,\r\n", 0, Cells({"AB", "CD"})},
        LoadCase{"LF and lone CR end lines too", "1\n2\r3\r\n4", 3, Cells({"04"})},
        LoadCase{"lines after the eighth ignored", "1\n2\n3\n4\n5\n6\n7\n8\n9\n", 7, Cells({"08"})},
        LoadCase{"blank and sign are not hex", " 1,+2,-3,0x4", 0, Cells({"00", "00", "00", "00"})},
        LoadCase{"too long for any number: its digits",
                 "000123456789abcdef0123456789ABCDEF01234567", 0,
                 Cells({"123456789ABCDEF0123456789ABCDEF01234567"})},
        LoadCase{"NUL bytes are not digits", std::string("1\0,2", 4), 0, Cells({"00", "02"})}));

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
