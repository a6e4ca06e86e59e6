#pragma once

#include "storage/fixed_text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace pylons {

struct HiScoreRecord {
    FixedText<25> Name;
    FixedText<10> Time;
    double Moves = 0;

    static HiScoreRecord Default();
    // Every character code 0 and no moves.
    void Clear();
    friend bool operator==(const HiScoreRecord&, const HiScoreRecord&) = default;
};

// The three best results of every level: record (level - 3) * 3 + place, numbered from 1.
class HiScoreTable {
public:
    static constexpr int kRecords = 21;
    static constexpr std::size_t kRecordBytes = 43;
    static constexpr std::size_t kFileBytes = kRecords * kRecordBytes; // 903

    HiScoreTable();

    HiScoreRecord& Record(int number) { return records_.at(static_cast<std::size_t>(number - 1)); }
    const HiScoreRecord& Record(int number) const {
        return records_.at(static_cast<std::size_t>(number - 1));
    }
    static int RecordNumber(int level, int place) { return (level - 3) * 3 + place; }

    void FillDefaults();

    // The place (1 to 3) that a result earns at a level: fewer moves, or as many moves in fewer
    // seconds than a record passes it. 0 when it earns none.
    int PlaceFor(int level, double moves, double seconds) const;
    // Puts a result in at the place it earns, moving the records below down one place; the last
    // one drops out. Returns the place, 0 (and no change) when it earns none.
    int Enter(int level, const HiScoreRecord& result, double seconds);

    std::array<std::uint8_t, kFileBytes> Encode() const;
    // Takes every record that the bytes hold in full; the others keep what they had.
    void DecodeWhole(std::span<const std::uint8_t> bytes);

    friend bool operator==(const HiScoreTable&, const HiScoreTable&) = default;

private:
    std::array<HiScoreRecord, kRecords> records_;
};

// HiScore.Dat in the given folder, with exactly one separator before the name.
std::filesystem::path HiScorePath(const std::filesystem::path& programDir);

// The seconds that a record's time text stands for ("h:mm:ss", trailing blanks allowed); a text
// that is not such a time counts as the slowest possible time, +infinity.
double TimeTextSeconds(std::string_view text);

} // namespace pylons
