#pragma once

#include <string>

namespace pylons {

// Seconds as the clock shows them, "h:mm:ss", with as many hour digits as needed.
std::string TimeText(double seconds);

// A number as the game writes it: a whole number without decimals ("12"), anything else in
// the shortest form that keeps its value.
std::string NumberText(double value);

} // namespace pylons
