#pragma once

#include "game/frm_main.h"
#include "storage/savegame.h"
#include "support/fake_desktop.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace pylons::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
// The table as HiScore.Dat holds it.
std::vector<std::uint8_t> Encoded(const HiScoreTable& table);
// The names in a folder, sorted.
std::vector<std::string> FolderEntries(const std::filesystem::path& folder);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// The rings on each pole, bottom first, as the poles report them.
using Layout = std::array<std::vector<int>, 4>;
Layout LayoutOf(const frmMain& game);

// A game in a folder of its own, started as the program starts, on a 1024 x 768 screen.
// The program's folder is the temporary folder itself, or a folder in it that may not exist.
struct GameFixture {
    TempDir dir;
    std::filesystem::path programDir;
    std::filesystem::path scoreFile;
    FakeDesktop desktop;
    frmMain game;

    explicit GameFixture(bool load = true, const std::string& programSubfolder = {});
    // A second game on another game's HiScore.Dat, started.
    explicit GameFixture(const std::filesystem::path& sharedScoreFile);
    const std::filesystem::path& HiScoreFile() const { return scoreFile; }
    // Puts the table in HiScore.Dat and has the game read it, as another game's results would be.
    void SetScores(const HiScoreTable& table);

    // A drag of the top ring of pole `from` over pole `to`'s column, released there.
    void Move(int from, int to);
    void Moves(const std::vector<std::pair<int, int>>& moves);
    // Sets up a position through a saved game of our own: the level, the rings of each pole
    // bottom first, the move count and the clock's seconds.
    void LoadPosition(int level, const Layout& layout, double moves = 0, double elapsed = 0);
};

// The middle of a pole's column on the current level, in window units.
float ColumnCentre(const frmMain& game, int pole);

// The shortest way to move a tower of n rings from pole 1 to the last of `poles` poles.
std::vector<std::pair<int, int>> Solve(int rings, int poles);

SaveGameRecord RecordOf(int level, const Layout& layout, double moves, double elapsed);

// Everything of the game that a player could see or that a later move depends on.
struct Snapshot {
    int level;
    double moves;
    Layout layout;
    RingPictures pictures;
    std::array<bool, 4> options;
    std::array<bool, 4> optionsVisible;
    std::array<bool, 4> shapes;
    std::array<std::string, 3> panels;
    double clock;
    bool timer;
    std::string caption;
    double width;
    double left;
    double top;
    std::vector<std::uint8_t> hiscores;

    explicit Snapshot(const frmMain& game);
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};
std::ostream& operator<<(std::ostream& out, const Snapshot& snapshot);

} // namespace pylons::testing
