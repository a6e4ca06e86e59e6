#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace pylons {

// One saved game: the level, the rings on each pole bottom first (0: no ring), the move counter
// and the clock's seconds. Always 118 bytes on disk.
struct SaveGameRecord {
    static constexpr std::size_t kBytes = 118;
    static constexpr std::string_view kSignature = "Pylons1.0V1265AKPQ45";

    using PoleList = std::array<std::uint8_t, 9>;

    std::uint8_t Level = 0;
    std::array<PoleList, 4> PaalRingen{}; // Paal1Ringen to Paal4Ringen
    double Moves = 0;
    double Elapsed = 0;

    std::array<std::uint8_t, kBytes> Encode() const;
    // Nothing unless the bytes are a whole record that begins with the signature. The reserved
    // lists are ignored.
    static std::optional<SaveGameRecord> Decode(std::span<const std::uint8_t> bytes);

    friend bool operator==(const SaveGameRecord&, const SaveGameRecord&) = default;
};

} // namespace pylons
