#include "game/text.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace pylons {

std::string TimeText(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0) {
        seconds = 0;
    }
    const auto total = static_cast<std::uint64_t>(std::floor(std::fmin(seconds, 9.0e15)));
    char text[40];
    std::snprintf(text, sizeof text, "%llu:%02u:%02u",
                  static_cast<unsigned long long>(total / 3600),
                  static_cast<unsigned>(total / 60 % 60), static_cast<unsigned>(total % 60));
    return text;
}

std::string NumberText(double value) {
    char text[40];
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15) {
        std::snprintf(text, sizeof text, "%.0f", value);
    } else {
        std::snprintf(text, sizeof text, "%.15g", value);
    }
    return text;
}

} // namespace pylons
