#pragma once

#include "solver/solver.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace pylons {

// The moves of a level, for Undo and Redo: the list of moves made and a place in it. The moves
// before the place can be taken back, those after it made again; a new move drops those after it.
// Undo and Redo hand back the move to make, and move the place; the game makes it as a drag would.
class MoveHistory {
public:
    void Clear() {
        moves_.clear();
        place_ = 0;
    }
    // A move the player (or the solver) made.
    void Played(const SolverMove& move) {
        moves_.resize(place_);
        moves_.push_back(move);
        place_ = moves_.size();
    }
    // The move that takes the last one back: its ring returns to the pole it came from.
    std::optional<SolverMove> Undo() {
        if (!CanUndo()) {
            return std::nullopt;
        }
        const SolverMove& last = moves_[--place_];
        return SolverMove{last.ring, last.to, last.from};
    }
    // The move taken back last, made again.
    std::optional<SolverMove> Redo() {
        if (!CanRedo()) {
            return std::nullopt;
        }
        return moves_[place_++];
    }
    bool CanUndo() const { return place_ > 0; }
    bool CanRedo() const { return place_ < moves_.size(); }

private:
    std::vector<SolverMove> moves_;
    std::size_t place_ = 0;
};

} // namespace pylons
