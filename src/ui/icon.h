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

// 16 and 32 pixels in sixteen colours, 48 and 64 smooth.
QIcon AppIcon();

} // namespace pylons
