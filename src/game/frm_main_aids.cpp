// The play aids of the main window's game: Undo, Redo, Restart, Hint and Solve.

#include "game/frm_main.h"

#include "game/texts.h"

namespace pylons {

void frmMain::PlayAid(const SolverMove& move, bool remember) {
    Form_DragOver(ColumnCentre(move.to));
    DropRing(picRing[static_cast<std::size_t>(move.ring - 1)].Name, remember);
}

void frmMain::mnuUndo_Click() {
    if (const auto back = history_.Undo()) {
        PlayAid(*back, false);
    }
}

void frmMain::mnuRedo_Click() {
    if (const auto again = history_.Redo()) {
        PlayAid(*again, false);
    }
}

void frmMain::mnuRestart_Click() {
    timElapsed.Enabled = false;
    StartLevel(Level());
    SayBoard();
}

std::vector<std::uint8_t> frmMain::Position() const {
    std::vector<std::uint8_t> position(Level(), 0);
    for (int p = 1; p <= 4; ++p) {
        for (const auto& ring : const_cast<frmMain&>(*this).PaalNr(p).Ringen()) {
            const auto n = static_cast<std::size_t>(RingNumber(*ring));
            if (n <= position.size()) {
                position[n - 1] = static_cast<std::uint8_t>(p);
            }
        }
    }
    return position;
}

const Solver& frmMain::LevelSolver() {
    // The level fixes the number of poles too.
    if (!solver_ || solver_->Rings() != Level()) {
        solver_ = std::make_unique<Solver>(Level(), PolesInPlay(Level()));
    }
    return *solver_;
}

std::optional<SolverMove> frmMain::BestMove() {
    if (Level() < 3 || Level() > 9) {
        return std::nullopt;
    }
    return LevelSolver().BestMove(Position());
}

bool frmMain::CanSolve() const {
    // A finished tower: every ring of the level on the goal pole.
    const int goal = PolesInPlay(Level());
    return Level() >= 3 && Level() <= 9 &&
           const_cast<frmMain&>(*this).PaalNr(goal).Count() != Level();
}

void frmMain::mnuHint_Click() {
    const auto move = BestMove();
    if (!move) {
        ShownHint.reset();
        return;
    }
    ShownHint = Hint{move->ring, move->to, *LevelSolver().Distance(Position())};
    Say(HintText());
}

std::string frmMain::HintText() const {
    return ShownHint ? texts::HintWords(ShownHint->ring, ShownHint->pole, ShownHint->movesLeft)
                     : std::string();
}

bool frmMain::SolveStep() {
    const auto move = BestMove();
    if (!move) {
        return false;
    }
    const int starts = levelStarts_;
    solverHelped_ = true;
    PlayAid(*move, true);
    return levelStarts_ == starts && CanSolve() && !Unloaded;
}

} // namespace pylons
