#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

namespace pylons {

// A hidden name for the new contents of a save: short, so that it fits wherever the save's own
// name does, and different for every writer (the process number, a clock and a count go into
// it), so that no two writers ever share one. Writers create it exclusively all the same.
inline std::string TempName(std::uint64_t processId) {
    static std::atomic<unsigned> counter{0};
    std::uint64_t mix =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    mix ^= processId << 32;
    mix ^= static_cast<std::uint64_t>(++counter) * 0x9E3779B97F4A7C15ull;
    mix ^= mix >> 29;
    static const char kHex[] = "0123456789abcdef";
    std::string name = ".pylons-";
    for (int i = 0; i < 12; ++i) {
        name += kHex[(mix >> (4 * i)) & 0xF];
    }
    return name + ".tmp";
}

} // namespace pylons
