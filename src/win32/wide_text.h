#pragma once

#include "storage/cp1252.h"

#include <string>
#include <string_view>

namespace pylons {

// The game keeps its texts as single-byte Windows-1252; Windows' wide functions take UTF-16.
// Every Windows-1252 character lies in the Basic Multilingual Plane: one UTF-16 unit each.
inline std::wstring FromGameText(std::string_view bytes) {
    std::wstring wide;
    for (const char32_t code : Cp1252ToU32(bytes)) {
        wide.push_back(static_cast<wchar_t>(code));
    }
    return wide;
}

// What the player typed, as the game keeps it: characters Windows-1252 lacks become '?'.
inline std::string ToGameText(std::wstring_view wide) {
    std::u32string codes;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const auto unit = static_cast<char32_t>(wide[i]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < wide.size()) {
            const auto low = static_cast<char32_t>(wide[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                codes.push_back(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        codes.push_back(unit);
    }
    return U32ToCp1252(codes);
}

} // namespace pylons
