#include "storage/savegame.h"

#include <gtest/gtest.h>

#include <vector>

namespace pylons {
namespace {

TEST(SaveGameRecord, EncodesEveryFieldAtItsOffsetLittleEndian) {
    SaveGameRecord record;
    record.Level = 7;
    record.PaalRingen[0] = {7, 6, 1};
    record.PaalRingen[3] = {5, 4, 3, 2};
    record.Moves = 12;
    record.Elapsed = 1.5;
    const auto bytes = record.Encode();
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 20), "Pylons1.0V1265AKPQ45");
    EXPECT_EQ(bytes[20], 7);
    EXPECT_EQ(bytes[21], 7);
    EXPECT_EQ(bytes[23], 1);
    EXPECT_EQ(bytes[48], 5);
    EXPECT_EQ(bytes[51], 2);
    for (std::size_t i = 57; i < 102; ++i) {
        EXPECT_EQ(bytes[i], 0) << "reserved byte " << i;
    }
    // 12.0 is 0x4028000000000000, 1.5 is 0x3FF8000000000000
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 102, bytes.begin() + 110),
              (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0x28, 0x40}));
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 110, bytes.end()),
              (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0xF8, 0x3F}));
    EXPECT_EQ(SaveGameRecord::Decode(bytes), record);
}

TEST(SaveGameRecord, DecodingIgnoresTheReservedListsAndAnythingPastTheRecord) {
    SaveGameRecord record;
    record.Level = 3;
    const auto encoded = record.Encode();
    std::vector<std::uint8_t> bytes(encoded.begin(), encoded.end());
    bytes[60] = 9;
    bytes.resize(200, 0xAB);
    EXPECT_EQ(SaveGameRecord::Decode(bytes), record);
}

TEST(SaveGameRecord, RefusesShortFilesAndAnyOtherSignature) {
    const auto good = SaveGameRecord{}.Encode();
    const std::vector<std::uint8_t> whole(good.begin(), good.end());
    EXPECT_FALSE(SaveGameRecord::Decode({}));
    EXPECT_FALSE(SaveGameRecord::Decode(std::span(whole).first(19)));
    EXPECT_FALSE(SaveGameRecord::Decode(std::span(whole).first(117)));
    auto lower = whole;
    lower[0] = 'p';
    EXPECT_FALSE(SaveGameRecord::Decode(lower));
    auto last = whole;
    last[19] = '6';
    EXPECT_FALSE(SaveGameRecord::Decode(last));
}

} // namespace
} // namespace pylons
