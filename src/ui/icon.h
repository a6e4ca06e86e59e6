#pragma once

#include <QIcon>
#include <QImage>

namespace pylons {

enum class IconColours {
    Two,     // black and white
    Sixteen, // the sixteen standard colours
    Full,    // the same design, smooth, for the larger sizes
};

// The game's icon: a tower of three rings on a pole, drawn afresh at any size.
QImage IconImage(int size, IconColours colours);

// The window's icon, drawn at the size asked for: up to 32 pixels in the sixteen colours,
// larger ones smooth.
QIcon AppIcon();

} // namespace pylons
