// The player's input as every frontend hands it to the game: lifting (only a top ring), the
// drag and its release, the pole keys with Escape, and what stops Solve.

#include "game/player_input.h"
#include "support/game_fixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace pylons {
namespace {

using testing::GameFixture;
using testing::Layout;
using testing::LayoutOf;

struct Input : ::testing::Test {
    GameFixture f;
    PlayerInput input{f.game};
};

TEST_F(Input, OnlyATopRingCanBeLiftedByTheMouse) {
    f.LoadPosition(4, {{{4, 3}, {2}, {1}, {}}});
    for (const int fixed : {4}) {
        EXPECT_FALSE(input.Press(fixed)) << "ring " << fixed << " lies under ring 3";
        EXPECT_FALSE(input.Lifted());
    }
    EXPECT_FALSE(input.Press(5)) << "no ring 5 at level 4";
    EXPECT_FALSE(input.Press(0));
    ASSERT_TRUE(input.Press(3));
    EXPECT_EQ(input.Lifted()->ring, 3);
    EXPECT_EQ(input.Lifted()->pole, 1);
    EXPECT_FALSE(input.Lifted()->byKeyboard);
    EXPECT_FALSE(input.Press(2)) << "one ring at a time";
}

TEST_F(Input, ADragDropsOverTheSurfaceAndPutsBackElsewhere) {
    ASSERT_TRUE(input.Press(1));
    input.DragOver(testing::ColumnCentre(f.game, 3));
    EXPECT_TRUE(f.game.timElapsed.Enabled) << "the clock runs from the first drag over the window";
    input.Release(false); // over a ring, the status bar or outside the window
    EXPECT_FALSE(input.Lifted());
    EXPECT_EQ(f.game.Moves(), 0);
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{3, 2, 1}, {}, {}, {}}}));

    ASSERT_TRUE(input.Press(1));
    input.DragOver(testing::ColumnCentre(f.game, 3));
    input.Release(true);
    EXPECT_EQ(f.game.Moves(), 1);
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{3, 2}, {}, {1}, {}}}));

    ASSERT_TRUE(input.Press(2));
    input.Cancel(); // the window lost the focus
    EXPECT_FALSE(input.Lifted());
    input.Release(true);
    EXPECT_EQ(f.game.Moves(), 1) << "a cancelled drag drops nothing";
}

TEST_F(Input, PoleKeysLiftAndPutDownAndEscapePutsBack) {
    EXPECT_TRUE(input.PoleKey(2)) << "an empty pole's key is the game's";
    EXPECT_FALSE(input.Lifted());
    EXPECT_FALSE(input.PoleKey(4)) << "level 3 has no pole 4";
    EXPECT_FALSE(input.Escape()) << "nothing to put back";

    ASSERT_TRUE(input.PoleKey(1));
    ASSERT_TRUE(input.Lifted());
    EXPECT_TRUE(input.Lifted()->byKeyboard);
    EXPECT_EQ(input.Lifted()->ring, 1);
    // Just above the tower of three, where a drag would show it.
    EXPECT_EQ(input.Lifted()->OutlineTop, PaalBase::SlotTop(4));
    EXPECT_EQ(input.Lifted()->OutlineLeft, f.game.picRing[0].Left);
    EXPECT_TRUE(f.game.timElapsed.Enabled);
    EXPECT_TRUE(f.game.optPaal[1].Value);
    EXPECT_FALSE(input.PoleKey(4)) << "still no pole 4: the ring stays lifted";
    EXPECT_TRUE(input.Lifted());
    EXPECT_TRUE(input.Escape());
    EXPECT_FALSE(input.Lifted());
    EXPECT_EQ(f.game.Moves(), 0);

    input.PoleKey(1);
    input.PoleKey(3);
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{3, 2}, {}, {1}, {}}}));
    input.PoleKey(1);
    input.PoleKey(3); // ring 2 onto ring 1: refused, yet counted, as a drag
    EXPECT_EQ(f.game.Moves(), 2);
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{3, 2}, {}, {1}, {}}}));
    input.PoleKey(3);
    input.PoleKey(3); // put down on its own pole: a move, as a drop there is
    EXPECT_EQ(f.game.Moves(), 3);
}

TEST_F(Input, TheMouseTakesOverFromTheKeysButNotTheOtherWayRound) {
    input.PoleKey(1);
    ASSERT_TRUE(input.Press(1));
    EXPECT_FALSE(input.Lifted()->byKeyboard);
    EXPECT_TRUE(input.PoleKey(2)) << "the key is the game's";
    EXPECT_FALSE(input.Lifted()->byKeyboard) << "and changes nothing of a mouse drag";
    EXPECT_FALSE(input.Escape()) << "Escape is for a ring lifted by its key";
    EXPECT_EQ(f.game.Moves(), 0);
}

TEST_F(Input, EveryAidEndsALift) {
    const std::function<void(PlayerInput&)> aids[] = {
        [](PlayerInput& i) { i.Undo(); },
        [](PlayerInput& i) { i.Redo(); },
        [](PlayerInput& i) { i.Restart(); },
        [](PlayerInput& i) {
            i.StartSolving();
            i.PlayerActed();
        },
    };
    for (const auto& aid : aids) {
        f.game.mnuRestart_Click();
        f.Move(1, 3);
        input.PoleKey(1);
        ASSERT_TRUE(input.Lifted());
        aid(input);
        EXPECT_FALSE(input.Lifted());
        EXPECT_TRUE(input.PoleKey(1));
        EXPECT_TRUE(input.Lifted()) << "the next key lifts afresh";
        input.Escape();
    }
}

TEST_F(Input, SolveGoesOnUntilThePlayerActsOrTheLevelEnds) {
    ASSERT_TRUE(input.StartSolving()) << "the first move at once, more to come";
    EXPECT_EQ(f.game.Moves(), 1);
    EXPECT_TRUE(input.Solving());
    EXPECT_TRUE(input.SolveStep());
    EXPECT_EQ(f.game.Moves(), 2);
    input.PlayerActed(); // a key, a click, a menu opened
    EXPECT_FALSE(input.Solving());
    EXPECT_FALSE(input.SolveStep());
    EXPECT_EQ(f.game.Moves(), 2) << "stopped where it was";

    // Played to the end: the level's message comes inside the last step, and Solve is over.
    ASSERT_TRUE(input.StartSolving());
    int steps = 1;
    while (input.SolveStep()) {
        ASSERT_LT(++steps, 8) << "Solve went on past the level's five moves left";
    }
    EXPECT_FALSE(input.Solving());
    EXPECT_EQ(f.game.Level(), 4);
    EXPECT_EQ(f.desktop.calls,
              (std::vector<std::string>{"Beep", "MsgBox information: Good, Next Level!"}));
}

TEST_F(Input, AFinishedTowerHasNothingToSolve) {
    f.LoadPosition(3, {{{}, {}, {3, 2, 1}, {}}});
    EXPECT_FALSE(input.StartSolving());
    EXPECT_FALSE(input.Solving());
}

} // namespace
} // namespace pylons
