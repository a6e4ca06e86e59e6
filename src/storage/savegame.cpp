#include "storage/savegame.h"

#include "storage/bytes.h"

#include <algorithm>

namespace pylons {
namespace {

constexpr std::size_t kLevelAt = 20;
constexpr std::size_t kPolesAt = 21;
constexpr std::size_t kMovesAt = 102;
constexpr std::size_t kElapsedAt = 110;

} // namespace

std::array<std::uint8_t, SaveGameRecord::kBytes> SaveGameRecord::Encode() const {
    std::array<std::uint8_t, kBytes> bytes{};
    std::copy(kSignature.begin(), kSignature.end(), bytes.begin());
    bytes[kLevelAt] = Level;
    for (std::size_t pole = 0; pole < PaalRingen.size(); ++pole) {
        std::copy(PaalRingen[pole].begin(), PaalRingen[pole].end(),
                  bytes.begin() + static_cast<std::ptrdiff_t>(kPolesAt + pole * 9));
    }
    // Bytes 57 to 101, five more lists, stay zero.
    const std::span<std::uint8_t> out(bytes);
    PutDouble(out.subspan<kMovesAt, 8>(), Moves);
    PutDouble(out.subspan<kElapsedAt, 8>(), Elapsed);
    return bytes;
}

std::optional<SaveGameRecord> SaveGameRecord::Decode(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kBytes ||
        !std::equal(kSignature.begin(), kSignature.end(), bytes.begin(),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; })) {
        return std::nullopt;
    }
    SaveGameRecord record;
    record.Level = bytes[kLevelAt];
    for (std::size_t pole = 0; pole < record.PaalRingen.size(); ++pole) {
        const auto list = bytes.subspan(kPolesAt + pole * 9, 9);
        std::copy(list.begin(), list.end(), record.PaalRingen[pole].begin());
    }
    const auto fixed = bytes.first<kBytes>();
    record.Moves = GetDouble(fixed.subspan<kMovesAt, 8>());
    record.Elapsed = GetDouble(fixed.subspan<kElapsedAt, 8>());
    return record;
}

} // namespace pylons
