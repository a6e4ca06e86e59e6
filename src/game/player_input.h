#pragma once

#include "game/frm_main.h"

#include <optional>

namespace pylons {

// What the player does, in the terms every frontend has, and what follows from it: which ring
// may be lifted and where its outline stands, a drag and its drop, the pole keys and Escape, the
// play aids, when Solve stops and how long a hint shows. A frontend maps its mouse, keys, menus
// and timers to these calls, then draws the game and Lifted(); it decides no rule itself.
class PlayerInput {
public:
    explicit PlayerInput(frmMain& game) : game_(game) {}
    PlayerInput(const PlayerInput&) = delete;
    PlayerInput& operator=(const PlayerInput&) = delete;

    static constexpr int kSolveStepMs = 500;  // Solve makes a move this often
    static constexpr int kHintShowsMs = 4000; // a hint goes after this long, or at the next move

    struct Lift {
        int ring;        // 1 to 9
        int pole;        // where it was lifted from
        bool byKeyboard; // a key lifted it: the outline stands at OutlineLeft/Top
        // A ring lifted by its key shows just above its pole's stack, as a drag would show it;
        // one lifted by the mouse follows the pointer, which only the frontend knows.
        double OutlineLeft;
        double OutlineTop;
    };
    const std::optional<Lift>& Lifted() const { return lift_; }

    // The mouse pressed on a ring's picture: true when it is lifted. Only the top ring of a pole
    // can be; a ring lifted by its key is put back first, the mouse taking over.
    bool Press(int ring);
    // The lifted ring is over the window surface (the board or a pole) at X, in window units.
    void DragOver(float X);
    // The mouse let go: over the window surface the ring is dropped there, elsewhere (over a
    // ring, the status bar or outside the window) it goes back where it was and counts nothing.
    void Release(bool overSurface);
    // The lift ends without a move: the window lost the focus, the button came up unseen.
    void Cancel();

    // A pole's key (1 to 4): lifts that pole's top ring, or puts a ring lifted by its key down on
    // that pole. False when the level has no such pole: the key is not the game's.
    bool PoleKey(int pole);
    // Puts a ring lifted by its key back; false when none is, so the key is not the game's.
    bool Escape();

    // The aids; each puts a lifted ring back first.
    void Undo();
    void Redo();
    void Restart();
    void Hint();
    void HintTimeUp() { game_.ClearHint(); }
    // Starts Solve with its first move; true when more are to come, one every kSolveStepMs.
    bool StartSolving();
    // The next move of Solve; false once it is over (the level ended, or the player acted).
    bool SolveStep();
    bool Solving() const { return solving_; }
    // Anything the player does stops Solve where it is: a key, a click, a menu opened.
    void PlayerActed() { solving_ = false; }

    // The window gained the focus: the player hears the board.
    void FocusGained() { game_.SayBoard(); }

private:
    std::optional<Lift> TopRingOf(int pole) const;
    void Drop(int pole);

    frmMain& game_;
    std::optional<Lift> lift_;
    bool solving_ = false;
};

} // namespace pylons
