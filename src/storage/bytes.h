#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

namespace pylons {

// IEEE 754 doubles, little-endian, whatever the machine's own order.
inline void PutDouble(std::span<std::uint8_t, 8> out, double value) {
    auto bits = std::bit_cast<std::uint64_t>(value);
    for (std::uint8_t& byte : out) {
        byte = static_cast<std::uint8_t>(bits & 0xFFu);
        bits >>= 8;
    }
}

inline double GetDouble(std::span<const std::uint8_t, 8> in) {
    std::uint64_t bits = 0;
    for (std::size_t i = 8; i-- > 0;) {
        bits = (bits << 8) | in[i];
    }
    return std::bit_cast<double>(bits);
}

} // namespace pylons
