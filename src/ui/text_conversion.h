#pragma once

#include "storage/cp1252.h"

#include <QList>
#include <QString>

#include <string>
#include <string_view>

namespace pylons {

// The game keeps its texts as single-byte Windows-1252; Qt shows Unicode.
inline QString FromGameText(std::string_view bytes) {
    const std::u32string text = Cp1252ToU32(bytes);
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToGameText(const QString& text) {
    const QList<uint> codes = text.toUcs4();
    std::u32string utf32;
    utf32.reserve(static_cast<std::size_t>(codes.size()));
    for (const uint code : codes) {
        utf32.push_back(static_cast<char32_t>(code));
    }
    return U32ToCp1252(utf32);
}

} // namespace pylons
