#pragma once

#include <filesystem>

namespace pylons {

// Where HiScore.Dat is read and written, and the file whose records a new one starts from.
struct ScorePlace {
    std::filesystem::path file;
    std::filesystem::path startFrom; // empty: a new file starts with the defaults
};

// Beside the program whenever that works: HiScore.Dat there can be written, or the folder can
// take it. Otherwise in the player's own data folder, starting from the records beside the
// program, if there are any.
ScorePlace ChooseScorePlace(const std::filesystem::path& programDir,
                            const std::filesystem::path& playerFolder);

// The player's data folder for the game on freedesktop systems: $XDG_DATA_HOME/pylons where that
// is an absolute path, otherwise ~/.local/share/pylons; empty when neither is known.
std::filesystem::path FreedesktopDataFolder(const char* xdgDataHome, const char* home);

// Makes the player's folder where it is missing (private to the player, as data folders are)
// and, where the file is new, starts it from the records of `startFrom`.
void PrepareScoreFile(const ScorePlace& place);

} // namespace pylons
