#pragma once

#include <string>
#include <string_view>

namespace pylons {

// Names and times are kept as single-byte Windows-1252 text, whatever the platform's own code
// page; these convert it to and from Unicode for display and typing.
char32_t Cp1252ToUnicode(unsigned char byte);
// A character that Windows-1252 lacks becomes '?'.
unsigned char UnicodeToCp1252(char32_t code);

std::u32string Cp1252ToU32(std::string_view bytes);
std::string U32ToCp1252(std::u32string_view text);

} // namespace pylons
