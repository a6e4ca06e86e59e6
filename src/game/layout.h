#pragma once

// The main window's board as it is created, in window units (1/1440 inch, 15 to a pixel at
// 96 dots per inch): the same numbers for every frontend. The rings' places and sizes are the
// game's own (frmMain::picRing); the window's width follows the level (frmMain::Window).

namespace pylons::layout {

inline constexpr int kClientHeight = 4575;
inline constexpr int kStatusBarTop = 4200;
inline constexpr int kStatusBarHeight = 375;
inline constexpr int kOptionLefts[] = {480, 1800, 3120, 4440}; // optPaal1 to optPaal4
inline constexpr int kOptionTop = 120;
inline constexpr int kOptionSize = 255;
inline constexpr int kPoleLefts[] = {525, 1845, 3165, 4485}; // shpPaal1 to shpPaal4
inline constexpr int kPoleTop = 480;
inline constexpr int kPoleWidth = 135;
inline constexpr int kPoleHeight = 3615;

// Status panels: their widths, and the least width of panel 2, which gives way so that the
// three fit the narrow window of three poles.
inline constexpr int kPanel1 = 1200;
inline constexpr int kPanel2 = 3195;
inline constexpr int kPanel2Least = 1440;
inline constexpr int kPanel3 = 750;

} // namespace pylons::layout
