#include "storage/hiscore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace pylons {
namespace {

TEST(HiScoreTable, DefaultFileIs903BytesOfTwentyOneEqualRecords) {
    const auto bytes = HiScoreTable().Encode();
    ASSERT_EQ(bytes.size(), 903u);
    const std::string name = "Wim Kolckenberger        ";
    const std::string time = "0:00:00   ";
    const std::vector<std::uint8_t> moves = {0x00, 0x00, 0x00, 0xE0, 0xCF, 0x12, 0x63, 0x41};
    for (std::size_t k = 0; k < 21; ++k) {
        const auto* record = bytes.data() + k * 43;
        EXPECT_EQ(std::string(record, record + 25), name) << "record " << k + 1;
        EXPECT_EQ(std::string(record + 25, record + 35), time);
        EXPECT_EQ(std::vector<std::uint8_t>(record + 35, record + 43), moves);
    }
}

TEST(HiScoreTable, RecordsAreNumberedByLevelAndPlace) {
    EXPECT_EQ(HiScoreTable::RecordNumber(3, 1), 1);
    EXPECT_EQ(HiScoreTable::RecordNumber(5, 3), 9);
    EXPECT_EQ(HiScoreTable::RecordNumber(9, 1), 19);
    EXPECT_EQ(HiScoreTable::RecordNumber(9, 3), 21);
}

TEST(HiScoreTable, RoundTripKeepsEveryByteIncludingPaddingAndNonAscii) {
    HiScoreTable table;
    table.Record(1).Name.Assign("Ren\xE9");
    table.Record(1).Time.Assign("0:01:07");
    table.Record(1).Moves = 7;
    table.Record(21).Name.Assign(std::string(30, 'x'));
    table.Record(21).Moves = 0.5;
    table.Record(11).Clear();
    HiScoreTable back;
    const auto bytes = table.Encode();
    back.DecodeWhole(bytes);
    EXPECT_EQ(back, table);
    EXPECT_EQ(back.Record(1).Name.View(), "Ren\xE9                     ");
    EXPECT_EQ(back.Record(21).Name.View(), std::string(25, 'x'));
}

TEST(HiScoreTable, DecodingAShortFileTakesOnlyTheWholeRecords) {
    HiScoreTable source;
    for (int k = 1; k <= 21; ++k) {
        source.Record(k).Moves = k;
    }
    const auto bytes = source.Encode();
    HiScoreTable table;
    table.DecodeWhole(std::span(bytes).first(2 * 43 + 42));
    EXPECT_EQ(table.Record(1).Moves, 1);
    EXPECT_EQ(table.Record(2).Moves, 2);
    EXPECT_EQ(table.Record(3), HiScoreRecord::Default()) << "a record held only in part";
    EXPECT_EQ(table.Record(21), HiScoreRecord::Default());
}

TEST(HiScorePath, HasExactlyOneSeparatorBeforeTheName) {
    EXPECT_EQ(HiScorePath("/opt/pylons"), "/opt/pylons/HiScore.Dat");
    EXPECT_EQ(HiScorePath("/opt/pylons/"), "/opt/pylons/HiScore.Dat");
    EXPECT_EQ(HiScorePath("/"), "/HiScore.Dat");
}

struct TimeCase {
    std::string text;
    double seconds;
};

class TimeTexts : public ::testing::TestWithParam<TimeCase> {};

TEST_P(TimeTexts, ReadAsSeconds) {
    EXPECT_EQ(TimeTextSeconds(GetParam().text), GetParam().seconds) << GetParam().text;
}

constexpr double kSlowest = HUGE_VAL;

INSTANTIATE_TEST_SUITE_P(
    HiScore, TimeTexts,
    ::testing::Values(TimeCase{"0:00:00   ", 0}, TimeCase{"0:01:00", 60},
                      TimeCase{"9:06:08   ", 32768}, TimeCase{"123:00:01", 442801},
                      TimeCase{"", kSlowest}, TimeCase{std::string(10, '\0'), kSlowest},
                      TimeCase{"0:60:00", kSlowest}, TimeCase{"0:00:61", kSlowest},
                      TimeCase{"abc", kSlowest}, TimeCase{"0:0:00", kSlowest},
                      TimeCase{" 0:00:05", kSlowest}, TimeCase{"0:00:05x", kSlowest}));

} // namespace
} // namespace pylons
