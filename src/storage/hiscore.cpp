#include "storage/hiscore.h"

#include "storage/bytes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace pylons {

HiScoreRecord HiScoreRecord::Default() {
    HiScoreRecord record;
    record.Name.Assign("Wim Kolckenberger");
    record.Time.Assign("0:00:00");
    record.Moves = 9999999;
    return record;
}

void HiScoreRecord::Clear() {
    Name.Clear();
    Time.Clear();
    Moves = 0;
}

HiScoreTable::HiScoreTable() {
    FillDefaults();
}

void HiScoreTable::FillDefaults() {
    records_.fill(HiScoreRecord::Default());
}

int HiScoreTable::PlaceFor(int level, double moves, double seconds) const {
    if (level < 3 || level > 9) {
        return 0;
    }
    for (int place = 1; place <= 3; ++place) {
        const HiScoreRecord& record = Record(RecordNumber(level, place));
        // A record whose moves are not a number can be passed by any result.
        const double recordMoves = std::isnan(record.Moves) ? HUGE_VAL : record.Moves;
        if (moves < recordMoves ||
            (moves == recordMoves && seconds < TimeTextSeconds(record.Time.View()))) {
            return place;
        }
    }
    return 0;
}

int HiScoreTable::Enter(int level, const HiScoreRecord& result, double seconds) {
    const int place = PlaceFor(level, result.Moves, seconds);
    if (place == 0) {
        return 0;
    }
    const int first = RecordNumber(level, 1);
    for (int p = 3; p > place; --p) {
        Record(first + p - 1) = Record(first + p - 2);
    }
    Record(first + place - 1) = result;
    return place;
}

std::array<std::uint8_t, HiScoreTable::kFileBytes> HiScoreTable::Encode() const {
    std::array<std::uint8_t, kFileBytes> bytes{};
    std::span<std::uint8_t> out(bytes);
    for (const HiScoreRecord& record : records_) {
        std::memcpy(out.data(), record.Name.data(), 25);
        std::memcpy(out.data() + 25, record.Time.data(), 10);
        PutDouble(out.subspan<35, 8>(), record.Moves);
        out = out.subspan(kRecordBytes);
    }
    return bytes;
}

void HiScoreTable::DecodeWhole(std::span<const std::uint8_t> bytes) {
    for (HiScoreRecord& record : records_) {
        if (bytes.size() < kRecordBytes) {
            return;
        }
        std::memcpy(record.Name.data(), bytes.data(), 25);
        std::memcpy(record.Time.data(), bytes.data() + 25, 10);
        record.Moves = GetDouble(bytes.subspan<35, 8>());
        bytes = bytes.subspan(kRecordBytes);
    }
}

std::filesystem::path HiScorePath(const std::filesystem::path& programDir) {
    // path's operator/ adds a separator only where the folder does not already end in one, so a
    // root folder gives its file name directly after the root.
    return programDir / "HiScore.Dat";
}

double TimeTextSeconds(std::string_view text) {
    constexpr double kSlowest = std::numeric_limits<double>::infinity();
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    // hours (any number of digits) ':' two-digit minutes ':' two-digit seconds
    const auto firstColon = text.find(':');
    if (firstColon == std::string_view::npos || firstColon == 0 || firstColon > 12 ||
        text.size() != firstColon + 6 || text[firstColon + 3] != ':') {
        return kSlowest;
    }
    const auto digits = [](std::string_view s) {
        return !s.empty() &&
               std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    const std::string_view hours = text.substr(0, firstColon);
    const std::string_view minutes = text.substr(firstColon + 1, 2);
    const std::string_view seconds = text.substr(firstColon + 4, 2);
    if (!digits(hours) || !digits(minutes) || !digits(seconds)) {
        return kSlowest;
    }
    const auto value = [](std::string_view s) {
        double v = 0;
        for (const char c : s) {
            v = v * 10 + (c - '0');
        }
        return v;
    };
    const double m = value(minutes);
    const double s = value(seconds);
    if (m >= 60 || s >= 60) {
        return kSlowest;
    }
    return value(hours) * 3600 + m * 60 + s;
}

} // namespace pylons
