#include "storage/cp1252.h"

#include <array>
#include <cstdint>

namespace pylons {
namespace {

// 0x80 to 0x9F; the five codes Windows-1252 leaves unassigned map to the C1 control of the same
// number, so every byte survives a round trip.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

char32_t Cp1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return kHigh[byte - 0x80];
    }
    return byte;
}

unsigned char UnicodeToCp1252(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        return static_cast<unsigned char>(code);
    }
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == code) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return '?';
}

std::u32string Cp1252ToU32(std::string_view bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        text.push_back(Cp1252ToUnicode(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string U32ToCp1252(std::u32string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (const char32_t c : text) {
        bytes.push_back(static_cast<char>(UnicodeToCp1252(c)));
    }
    return bytes;
}

} // namespace pylons
