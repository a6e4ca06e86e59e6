#pragma once

#include "board/paal.h"
#include "board/picture_box.h"
#include "board/ring.h"
#include "game/controls.h"
#include "game/desktop.h"
#include "game/move_history.h"
#include "game/texts.h"
#include "solver/solver.h"
#include "storage/hiscore.h"
#include "storage/hiscore_keeper.h"
#include "storage/savegame.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pylons {

// The main window's game: its level, moves, poles and rings, the state of its controls, and
// every handler a player reaches by dragging, by the clock or by the menus. It opens no window
// itself; messages, prompts and file dialogs go through the Desktop.
class frmMain final : private PaalOwner {
public:
    // hiScoreFile is HiScore.Dat, wherever the program keeps it.
    frmMain(Desktop& desktop, std::filesystem::path hiScoreFile);
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    std::uint8_t Level() const { return level_; }
    void Level(std::uint8_t Waarde) { level_ = Waarde; }
    double Moves() const { return moves_; }
    void Moves(double Waarde) { moves_ = Waarde; }

    // The poles of the level being played; replaced at every level start.
    std::shared_ptr<clsPaal1> Paal1;
    std::shared_ptr<clsPaal2> Paal2;
    std::shared_ptr<clsPaal3> Paal3;
    std::shared_ptr<clsPaal4> Paal4;

    // The controls of the main window.
    RingPictures picRing; // picRing1 to picRing9
    OptionGroup optPaal;  // optPaal[1] to optPaal[4]
    std::array<Shape, 4> shpPaal;
    StatusBar stbStatusBar;
    Timer timElapsed;
    FileDialog cdbFilePic;
    FormWindow Window;
    ScreenSize Screen;
    bool Unloaded = false; // the main window was unloaded: the view closes it and the game ends

    // The high-score table and the name last typed for it, for the whole run.
    HiScoreTable HiScores;
    std::string LastHiScoreName;

    // Start-up: the high-score table, then level 3.
    void Form_Load();
    void StartLevel(std::uint8_t level);

    // A ring is dragged over the window surface at X (window units).
    void Form_DragOver(float X);
    // A ring, named by its picture, is released over the window surface.
    void Form_DragDrop(std::string_view draggedName);
    void timElapsed_Timer();

    void mnuSave_Click() { Save(); }
    void mnuLoad_Click() { Load(); }
    void mnuQuit_Click();
    void mnuWeb_Click();

    void Save();
    void Load();
    // Reads HiScore.Dat into the table, or creates it with the table when there is none.
    void LaadHiScore();
    // Stores the table: under the file's lock the records it holds now are read, this run's new
    // results are ranked among them, and that table is written back and kept in memory. A result
    // that the file could not take is kept in memory and offered to the file again next time.
    void SaveHiScore();

    // Play aids. Every ring they move goes the way of a drag: over the target pole's column
    // (Form_DragOver), then dropped (Form_DragDrop), so it counts, starts the clock, obeys the
    // stacking rule and can finish the level.

    // Takes the last move back: its ring returns to the pole it came from.
    void mnuUndo_Click();
    // Makes a move taken back again.
    void mnuRedo_Click();
    // The level as at its start: tower on pole 1, no moves, the clock stopped at 0:00:00.
    void mnuRestart_Click();
    // Shows the first move of a shortest way to the goal (ShownHint); moves nothing.
    void mnuHint_Click();
    // Makes the next move of a shortest way to the goal; true while the level goes on with more
    // to solve. A level the solver moved a ring in enters no high score.
    bool SolveStep();
    void ClearHint() { ShownHint.reset(); }

    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    // Whether the tower still has a way to go (Hint and Solve have something to show).
    bool CanSolve() const;
    bool SolverHelped() const { return solverHelped_; }

    struct Hint {
        int ring;
        int pole;
        int movesLeft; // the fewest moves from the board to the goal
    };
    std::optional<Hint> ShownHint; // until the next move or until the view clears it
    // The hint in words, for the board and for screen readers.
    std::string HintText() const;

    // Tells a player who cannot see the board what happened, through the Desktop.
    void Say(std::string_view words);
    // Says the level and where its rings stand, unless that was the last thing said.
    void SayBoard();
    // What a screen reader reads of the board, its poles (1 to 4) and its rings (1 to 9).
    std::string BoardDescription() const;
    std::string PoleDescription(int pole) const;
    std::string RingDescription(int ring) const;

    // The middle of a pole's column on the current level, in window units.
    float ColumnCentre(int pole) const;

    // The ring object registered under a picture's name, if the level has that ring.
    std::shared_ptr<infRing> RingByName(std::string_view name) const;
    PaalBase& PaalNr(int number) override;

private:
    void CheckFinished(int pole, std::size_t ringCount) override;
    void FinishLevel();
    void EnterHiScore();
    // The rings of every pole in play, bottom first.
    texts::Stacks Stacks() const;
    bool IsPlayable(const SaveGameRecord& record) const;
    void SettleRings();
    // Where each ring of the level stands (ring n at index n - 1), for the solver.
    std::vector<std::uint8_t> Position() const;
    const Solver& LevelSolver();
    std::optional<SolverMove> BestMove();
    // A ring dropped on the selected pole; a move the pole takes goes in the history when
    // `remember` says so (not when Undo or Redo replay one).
    void DropRing(std::string_view draggedName, bool remember);
    // Moves a ring as a drag would.
    void PlayAid(const SolverMove& move, bool remember);
    std::shared_ptr<PaalBase> PaalPtr(int number) const;

    Desktop& desktop_;
    HiScoreKeeper hiScoreKeeper_;
    std::string lastSaid_;
    std::uint8_t level_ = 0;
    double moves_ = 0;
    std::array<std::shared_ptr<infRing>, 9> ringObjects_; // Ring1 to Ring9
    std::map<std::string, std::shared_ptr<infRing>, std::less<>> Rings;
    bool rebuilding_ = false; // loading a game puts rings on the goal pole without finishing

    MoveHistory history_; // the accepted moves of the level
    int levelStarts_ = 0; // tells a drop that finished the level from one that did not
    bool solverHelped_ = false;
    std::unique_ptr<Solver> solver_; // for the level being played, made when first needed
};

// Levels 3 to 5 are played on three poles, 6 to 9 on four.
int PolesInPlay(int level);

} // namespace pylons
