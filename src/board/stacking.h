#pragma once

namespace pylons {

// The one stacking rule of the game, for the poles and for the solver alike: a ring of a given
// size may rest on an empty pole (top size 0) or on a ring at least as wide. Sizes only need to
// grow with the rings: the poles compare picture widths, the solver ring numbers.
constexpr bool PastErOp(int size, int topSize) {
    return topSize == 0 || size <= topSize;
}

} // namespace pylons
