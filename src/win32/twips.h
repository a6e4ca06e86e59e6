#pragma once

#include <windows.h>

#include <cmath>

namespace pylons {

// The game measures its windows in twips, 1440 to the inch; a window draws in pixels at its
// own DPI.
inline int TwipsToPixels(double twips, UINT dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

inline double PixelsToTwips(double pixels, UINT dpi) {
    return pixels * 1440.0 / dpi;
}

} // namespace pylons
