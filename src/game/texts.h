#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Every word the player reads or hears, in one place: the messages, the captions and status
// texts, the menus, the small windows, the hint, the announcements and what a screen reader says
// of the board. Frontends take them from here unchanged (single-byte Windows-1252, like the
// game's files); a translation replaces this one catalogue.

namespace pylons::texts {

inline constexpr std::string_view kTitle = "Pylons"; // every message box's title

// Messages.
inline constexpr std::string_view kNextLevelSmall = "Good, Next Level!"; // after levels 3 to 5
inline constexpr std::string_view kNextLevelLarge = "Very good, next level";
inline constexpr std::string_view kAllDone = "Very good you have made it!\r\nQuit?";
inline constexpr std::array<std::string_view, 3> kPlaces = {
    "You score is good for FIRST place!",
    "You score is good for SECOND place!",
    "You score is good for THIRD place!",
};
inline constexpr std::string_view kNamePrompt = "You name";
inline constexpr std::string_view kNameTitle = "Hiscore";
inline constexpr std::string_view kNotASaveGame = "Not A valid savegame";
inline constexpr std::string_view kNotSaved = "The game could not be saved.";
inline constexpr std::string_view kNotLoaded = "The game could not be loaded.";

// The file dialog.
inline constexpr std::string_view kFileFilter = "Pylons games|*.WIM"; // description|pattern
inline constexpr std::string_view kFileExtension = "WIM";

// The main window's menus, in order. The access key follows '&'; a shortcut is written as the
// desktop's key names ("Ctrl+Z"), empty for none.
enum class Command { Save, Load, HiScore, Quit, Undo, Redo, Restart, Hint, Solve, Web, About };
struct MenuItem {
    std::string_view name; // the control's name, mnuSave to mnuAbout
    std::string_view caption;
    Command command;
    std::string_view shortcut;
    bool separatorBefore = false;
};
struct Menu {
    std::string_view name;
    std::string_view caption;
    std::span<const MenuItem> items;
};
std::span<const Menu> Menus();

// The high-score window and the About window.
inline constexpr std::string_view kHiScoreCaption = "Hiscore";
inline constexpr std::string_view kLevelLabel = "Level";
inline constexpr std::array<std::string_view, 3> kHiScoreColumns = {"Name", "Time", "Moves"};
inline constexpr std::string_view kAboutCaption = "About";
inline constexpr std::string_view kAboutTheme = "Pylons Version 1.0";
inline constexpr std::string_view kAboutAuthor = "by Wim Kolckenberger";

// The main window: its caption and the status panels.
std::string Caption(int level);       // "Pylons - Level 3"
std::string MovesPanel(double moves); // "Moves 0", at a level's start or after loading
std::string MovedPanel(double moves); // "Moves = 4", after a drop
std::string FastestPanel(std::string_view time);
inline constexpr std::string_view kStatusBarName = "Status bar";

// The hint, on the board and aloud.
std::string HintWords(int ring, int pole, int movesLeft);

// Announcements: what a player who cannot see the board hears as it happens.
std::string Moved(int ring, int pole);
// A drop that left the ring where it was: on its own pole, or refused by a narrower top ring.
std::string Stayed(int ring, int from, int target, int narrowerTop);
std::string Finished(int level, double moves);
std::string Lifted(int ring, int pole);
std::string PutBack(int ring, int pole);

// What a screen reader says of the board: the rings of each pole, bottom first.
using Stacks = std::vector<std::vector<int>>; // pole 1 first, the poles of the level only
std::string PoleName(int pole);               // the pole's button: "Pole 2"
std::string PoleDescription(int pole, const std::vector<int>& rings); // "Pole 2: rings 5, 3"
std::string RingDescription(int ring, int pole, bool free); // "Ring 1 on pole 3, can be moved"
std::string LiftedOutline(int ring);                        // "Ring 1 lifted"
// The board's name: the caption, then every pole.
std::string BoardDescription(int level, const Stacks& stacks);
// Said at a level's start and when the window gains the focus: "Level 4. Pole 1: rings 4, 3,
// 2, 1. Poles 2, 3 and 4: no rings".
std::string BoardAloud(int level, const Stacks& stacks);

} // namespace pylons::texts
