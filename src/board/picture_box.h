#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pylons {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A picture control of the main window, as the game logic sees it. Positions and sizes are in
// window units (1/1440 inch, 15 per logical pixel); a ring may stand at Left -17.5 and stays so
// here, only the view rounds.
struct PictureBox {
    std::string Name;
    double Left = 0;
    double Top = 0;
    int Width = 0;
    int Height = 0;
    int DragMode = 1; // 1: pressing the mouse on it starts a drag; 0: fixed
    bool Visible = false;
    Rgb BackColor;
    friend bool operator==(const PictureBox&, const PictureBox&) = default;
};

// picRing1 to picRing9; element 0 is picRing1.
using RingPictures = std::array<PictureBox, 9>;

} // namespace pylons
