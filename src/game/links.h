#pragma once

#include <string_view>

namespace pylons {

// The author's web site and e-mail address, for "&Web site" and the About window.
inline constexpr std::string_view kWebSiteAddress = "http://www.example.com/";
inline constexpr std::string_view kEmailAddress = "pylons@example.com";
inline constexpr std::string_view kMailtoPrefix = "mailto:";

} // namespace pylons
