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

// The small windows, in the same units: their client areas and their controls' places.
struct Box {
    int left;
    int top;
    int width;
    int height;
};

namespace hiscore { // frmHiscore
inline constexpr int kWidth = 5070;
inline constexpr int kHeight = 3105;
inline constexpr Box kLabel{120, 120, 1000, 255};
inline constexpr Box kLevels{120, 360, 4815, 315}; // cmbLevels
inline constexpr Box kList{120, 675, 4815, 1935};  // lsvHiScore
inline constexpr int kColumnWidths[] = {1850, 1440, 1440};
inline constexpr Box kOk{2032, 2640, 1095, 375};
} // namespace hiscore

namespace about { // frmAbout
inline constexpr int kWidth = 2610;
inline constexpr int kHeight = 2295;
inline constexpr Box kTheme{120, 240, 2370, 360}; // the game's name, centred
inline constexpr Box kVersion{120, 720, 2415, 255};
inline constexpr Box kWebSite{120, 1080, 2415, 255};
inline constexpr Box kEmail{120, 1440, 2295, 255};
inline constexpr Box kOk{720, 1800, 1095, 375};
} // namespace about

} // namespace pylons::layout
