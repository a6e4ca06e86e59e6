// Undo and Redo's list: the moves made and a place in it.

#include "game/move_history.h"

#include <gtest/gtest.h>

namespace pylons {
namespace {

TEST(MoveHistory, HandsBackTheMovesToMakeAndForgetsWhatANewMoveReplaces) {
    MoveHistory history;
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.Undo());
    history.Played({1, 1, 3});
    history.Played({2, 1, 2});
    EXPECT_EQ(history.Undo(), (SolverMove{2, 2, 1})) << "ring 2 back to pole 1";
    EXPECT_EQ(history.Undo(), (SolverMove{1, 3, 1}));
    EXPECT_FALSE(history.Undo());
    EXPECT_TRUE(history.CanRedo());
    EXPECT_EQ(history.Redo(), (SolverMove{1, 1, 3})) << "made again as it was made";
    history.Played({1, 3, 2}); // a new move: ring 2's move can no longer be made again
    EXPECT_FALSE(history.CanRedo());
    EXPECT_FALSE(history.Redo());
    EXPECT_EQ(history.Undo(), (SolverMove{1, 2, 3}));
    EXPECT_EQ(history.Undo(), (SolverMove{1, 3, 1}));
    history.Clear();
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
}

} // namespace
} // namespace pylons
