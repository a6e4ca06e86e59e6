// Undo, redo, restart, hint and solve: every ring they move goes the way of a drag, and a level
// the solver helped with leaves the high scores alone.

#include "support/case_name.h"
#include "support/game_fixture.h"

#include <gtest/gtest.h>

namespace pylons {
namespace {

using testing::GameFixture;
using testing::Layout;
using testing::LayoutOf;
using testing::ReadBytes;
using testing::Snapshot;
using Calls = std::vector<std::string>;

class PlayAids : public ::testing::Test {
protected:
    GameFixture f;
};

TEST_F(PlayAids, UndoTakesTheLastMoveBackAndRedoMakesItAgainEachCountingAsAMove) {
    f.Moves({{1, 3}, {1, 2}});
    ASSERT_TRUE(f.game.CanUndo());
    EXPECT_FALSE(f.game.CanRedo());
    f.game.mnuUndo_Click();
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{3, 2}, {}, {1}, {}}}));
    EXPECT_EQ(f.game.Moves(), 3);
    EXPECT_EQ(f.game.stbStatusBar.Panels(1).Text, "Moves = 3");
    f.game.mnuUndo_Click();
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{3, 2, 1}, {}, {}, {}}}));
    EXPECT_FALSE(f.game.CanUndo()) << "back at the level's start";
    ASSERT_TRUE(f.game.CanRedo());
    f.game.mnuRedo_Click();
    f.game.mnuRedo_Click();
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{3}, {2}, {1}, {}}}));
    EXPECT_EQ(f.game.Moves(), 6);
    EXPECT_FALSE(f.game.CanRedo());
    f.game.mnuUndo_Click();
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{3, 2}, {}, {1}, {}}}));
    // Every ring that moved stands in its slot, free on top, as after a drag.
    EXPECT_EQ(f.game.picRing[0].DragMode, 1);
    EXPECT_EQ(f.game.picRing[1].DragMode, 1);
    EXPECT_EQ(f.game.picRing[2].DragMode, 0);
}

TEST_F(PlayAids, ANewMoveAfterAnUndoClearsWhatCouldBeRedone) {
    f.Moves({{1, 3}, {1, 2}});
    f.game.mnuUndo_Click();
    f.Move(1, 2);
    EXPECT_FALSE(f.game.CanRedo());
    f.game.mnuUndo_Click();
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{3, 2}, {}, {1}, {}}}));
}

struct NotAMove {
    const char* what;
    std::pair<int, int> release; // after ring 1 went from pole 1 to pole 2 on level 3
};

class NotInTheHistory : public ::testing::TestWithParam<NotAMove> {};

TEST_P(NotInTheHistory, IsNotTakenBack) {
    GameFixture f;
    f.Move(1, 2);
    f.Move(GetParam().release.first, GetParam().release.second);
    EXPECT_EQ(f.game.Moves(), 2) << "it counted all the same";
    f.game.mnuUndo_Click();
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{3, 2, 1}, {}, {}, {}}})) << "the move before it was";
    EXPECT_FALSE(f.game.CanUndo()) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(PlayAids, NotInTheHistory,
                         ::testing::Values(NotAMove{"a drop on its own pole", {2, 2}},
                                           NotAMove{"a refused drop", {1, 2}}),
                         testing::ByWhat());

TEST_F(PlayAids, TheHistoryStartsEmptyAtEveryLevelStartAndAfterLoading) {
    f.Move(1, 3);
    f.LoadPosition(4, {{{4, 3, 2}, {1}}});
    EXPECT_FALSE(f.game.CanUndo());
    f.Move(2, 3);
    f.game.mnuUndo_Click();
    ASSERT_TRUE(f.game.CanRedo());
    f.LoadPosition(3, {{{1}, {}, {3, 2}}});
    EXPECT_FALSE(f.game.CanRedo());
    f.Move(1, 3); // finishes level 3
    EXPECT_EQ(f.game.Level(), 4);
    EXPECT_FALSE(f.game.CanUndo()) << "the finishing move is not undone into the next level";
}

TEST_F(PlayAids, AnUndoThatCompletesTheTowerFinishesTheLevel) {
    f.LoadPosition(3, {{{}, {}, {3, 2, 1}}});
    f.Move(3, 1);
    f.desktop.names = {"Ann"};
    f.game.mnuUndo_Click();
    EXPECT_EQ(f.game.Level(), 4);
    EXPECT_EQ(f.desktop.calls.back(), "MsgBox information: Good, Next Level!");
}

TEST_F(PlayAids, RestartSetsTheLevelUpAsAtItsStartWithTheClockStopped) {
    f.LoadPosition(5, {{{5, 4, 3}, {2}, {1}}}, 12, 30);
    f.Move(3, 2);
    f.game.timElapsed_Timer();
    ASSERT_TRUE(f.game.timElapsed.Enabled);
    f.game.mnuRestart_Click();
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{5, 4, 3, 2, 1}, {}, {}, {}}}));
    EXPECT_EQ(f.game.Moves(), 0);
    EXPECT_EQ(f.game.stbStatusBar.Panels(1).Text, "Moves 0");
    EXPECT_EQ(f.game.stbStatusBar.Panels(3).Text, "0:00:00");
    EXPECT_EQ(f.game.stbStatusBar.Panels(3).Tag, 0);
    EXPECT_FALSE(f.game.timElapsed.Enabled) << "until the first drag";
    EXPECT_FALSE(f.game.CanUndo());
    EXPECT_EQ(f.game.Level(), 5);
    f.Move(1, 3);
    EXPECT_TRUE(f.game.timElapsed.Enabled);
}

struct HintCase {
    int level;
    Layout layout;
    int movesLeft; // the fewest moves to the goal
};

class Hints : public ::testing::TestWithParam<HintCase> {};

TEST_P(Hints, ShowAMoveThatBringsTheGoalOneMoveNearerAndMoveNothing) {
    GameFixture f;
    f.LoadPosition(GetParam().level, GetParam().layout, 4, 9);
    const Snapshot before(f.game);
    f.game.mnuHint_Click();
    ASSERT_TRUE(f.game.ShownHint);
    const frmMain::Hint hint = *f.game.ShownHint;
    EXPECT_EQ(hint.movesLeft, GetParam().movesLeft);
    EXPECT_EQ(Snapshot(f.game), before) << "a hint moves nothing, counts nothing, starts nothing";
    EXPECT_TRUE(f.desktop.calls.empty());
    // The hinted ring is a top ring, and moving it as hinted leaves one move fewer to go.
    int from = 0;
    for (int p = 1; p <= 4; ++p) {
        const auto& rings = f.game.PaalNr(p).Ringen();
        if (!rings.empty() && RingNumber(*rings.back()) == hint.ring) {
            from = p;
        }
    }
    ASSERT_NE(from, 0) << "ring " << hint.ring << " is no top ring";
    f.Move(from, hint.pole);
    f.game.mnuHint_Click();
    if (GetParam().movesLeft > 1) {
        ASSERT_TRUE(f.game.ShownHint);
        EXPECT_EQ(f.game.ShownHint->movesLeft, GetParam().movesLeft - 1);
    } else {
        EXPECT_EQ(f.game.Level(), GetParam().level + 1) << "the hinted move finished the level";
    }
}

INSTANTIATE_TEST_SUITE_P(
    PlayAids, Hints,
    ::testing::Values(HintCase{3, {{{3, 2, 1}}}, 7}, HintCase{4, {{{4, 3, 2, 1}}}, 15},
                      HintCase{5, {{{5, 4, 3, 2, 1}}}, 31}, HintCase{6, {{{6, 5, 4, 3, 2, 1}}}, 17},
                      HintCase{7, {{{7, 6, 5, 4, 3, 2, 1}}}, 25},
                      HintCase{8, {{{8, 7, 6, 5, 4, 3, 2, 1}}}, 33},
                      HintCase{9, {{{9, 8, 7, 6, 5, 4, 3, 2, 1}}}, 41},
                      HintCase{3, {{{1}, {}, {3, 2}}}, 1}, HintCase{3, {{{}, {3, 2, 1}, {}}}, 7}),
    [](const auto& row) {
        return "level" + std::to_string(row.param.level) + "_" + std::to_string(row.index);
    });

TEST_F(PlayAids, AHintLastsUntilTheNextMoveAndSaysHowFarTheGoalIs) {
    f.game.mnuHint_Click();
    EXPECT_EQ(f.game.HintText(), "Hint: ring 1 to pole 3, 7 moves to go");
    f.Move(1, 2);
    EXPECT_FALSE(f.game.ShownHint);
    EXPECT_EQ(f.game.HintText(), "");
    f.LoadPosition(3, {{{1}, {}, {3, 2}}});
    f.game.mnuHint_Click();
    EXPECT_EQ(f.game.HintText(), "Hint: ring 1 to pole 3, 1 move to go");
}

TEST_F(PlayAids, AFinishedTowerHasNoHintAndNothingToSolve) {
    f.LoadPosition(9, {{{}, {}, {}, {9, 8, 7, 6, 5, 4, 3, 2, 1}}});
    EXPECT_FALSE(f.game.CanSolve());
    f.game.mnuHint_Click();
    EXPECT_FALSE(f.game.ShownHint);
    EXPECT_FALSE(f.game.SolveStep());
    EXPECT_EQ(f.game.Moves(), 0);
}

// Solves until the solver says the level is over, as the window's timer does. No position of a
// level of n rings is more than 2^n - 1 moves from its goal, even on three poles, so a solver
// that goes round in circles fails here instead of hanging the tests.
int SolveToTheEnd(GameFixture& f) {
    const int bound = (1 << f.game.Level()) - 1;
    int steps = 1;
    while (f.game.SolveStep()) {
        if (++steps > bound) {
            ADD_FAILURE() << "Solve went on past " << bound << " moves";
            break;
        }
    }
    return steps;
}

TEST_F(PlayAids, SolveFinishesTheLevelInTheFewestMovesAndEntersNoHighScore) {
    const auto scores = ReadBytes(f.HiScoreFile());
    EXPECT_FALSE(f.game.timElapsed.Enabled);
    f.desktop.observer = [&](const std::string&) {
        EXPECT_EQ(f.game.Moves(), 7) << "the fewest moves, each counted";
    };
    EXPECT_EQ(SolveToTheEnd(f), 7);
    EXPECT_EQ(f.desktop.calls, (Calls{"Beep", "MsgBox information: Good, Next Level!"}));
    EXPECT_EQ(f.game.Level(), 4);
    EXPECT_EQ(ReadBytes(f.HiScoreFile()), scores) << "byte for byte";
    EXPECT_EQ(f.game.HiScores, HiScoreTable());
}

TEST_F(PlayAids, ALevelTheSolverHelpedWithEntersNoHighScoreButTheNextOneDoes) {
    const auto scores = ReadBytes(f.HiScoreFile());
    f.desktop.names = {"Ann"};
    ASSERT_TRUE(f.game.SolveStep()); // one move by the solver, the rest by hand
    EXPECT_TRUE(f.game.timElapsed.Enabled) << "Solve starts the clock as a drag does";
    EXPECT_TRUE(f.game.SolverHelped());
    f.Moves({{1, 2}, {3, 2}, {1, 3}, {2, 1}, {2, 3}, {1, 3}});
    EXPECT_EQ(f.game.Level(), 4);
    EXPECT_EQ(f.desktop.calls, (Calls{"Beep", "MsgBox information: Good, Next Level!"}));
    EXPECT_EQ(ReadBytes(f.HiScoreFile()), scores);
    EXPECT_FALSE(f.game.SolverHelped());
    f.desktop.calls.clear();
    f.LoadPosition(4, {{{1}, {}, {4, 3, 2}}});
    f.Move(1, 3);
    EXPECT_EQ(f.desktop.calls[1], "MsgBox information: You score is good for FIRST place!");
}

TEST_F(PlayAids, LoadingAGameClearsTheSolversMark) {
    ASSERT_TRUE(f.game.SolveStep());
    f.desktop.names = {"Ann"};
    f.LoadPosition(3, {{{1}, {}, {3, 2}}});
    EXPECT_FALSE(f.game.SolverHelped());
    f.Move(1, 3);
    EXPECT_EQ(f.desktop.calls[1], "MsgBox information: You score is good for FIRST place!");
}

TEST_F(PlayAids, SolvingFromAnyPositionTakesExactlyTheMovesTheHintPromised) {
    f.LoadPosition(7, {{{7, 2}, {6, 1}, {5, 4, 3}, {}}}, 3, 0);
    f.game.mnuHint_Click();
    const int promised = f.game.ShownHint->movesLeft;
    double movesAtTheEnd = 0;
    f.desktop.observer = [&](const std::string& call) {
        if (call == "Beep") {
            movesAtTheEnd = f.game.Moves();
        }
    };
    EXPECT_EQ(SolveToTheEnd(f), promised);
    EXPECT_EQ(movesAtTheEnd, 3 + promised);
    EXPECT_EQ(f.game.Level(), 8);
}

TEST_F(PlayAids, SolvingTheLastLevelAsksToQuitWithoutAPlace) {
    f.LoadPosition(9, {{{1}, {}, {}, {9, 8, 7, 6, 5, 4, 3, 2}}});
    f.desktop.answers = {MsgResult::No};
    EXPECT_FALSE(f.game.SolveStep());
    EXPECT_EQ(f.desktop.calls,
              (Calls{"Beep", "MsgBox yes/no: Very good you have made it!\r\nQuit?"}));
    EXPECT_FALSE(f.game.Unloaded);
}

} // namespace
} // namespace pylons
