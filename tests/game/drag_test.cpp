#include "support/game_fixture.h"

#include <gtest/gtest.h>

namespace pylons {
namespace {

using testing::GameFixture;
using testing::Layout;
using testing::LayoutOf;

struct ColumnCase {
    int level;
    float x;
    int pole;
};

class Columns : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(Columns, SelectThePoleUnderThePointer) {
    const ColumnCase& c = GetParam();
    GameFixture f;
    f.game.Level(static_cast<std::uint8_t>(c.level));
    f.game.StartLevel(f.game.Level());
    f.game.Form_DragOver(c.x);
    EXPECT_EQ(f.game.optPaal.Selected(), c.pole) << "x " << c.x;
    for (int p = 1; p <= 4; ++p) {
        EXPECT_EQ(f.game.optPaal[p].Value, p == c.pole);
    }
}

INSTANTIATE_TEST_SUITE_P(
    DragOver, Columns,
    ::testing::Values(ColumnCase{6, 0, 1}, ColumnCase{6, 1334, 1}, ColumnCase{6, 1334.99f, 1},
                      ColumnCase{6, 1335, 2}, ColumnCase{6, 2669, 2}, ColumnCase{6, 2670, 3},
                      ColumnCase{6, 4004, 3}, ColumnCase{6, 4005, 4}, ColumnCase{6, 5339, 4},
                      ColumnCase{9, 99999, 4}, ColumnCase{9, -5, 1}, ColumnCase{3, 1334, 1},
                      ColumnCase{3, 1335, 2}, ColumnCase{3, 2670, 3}, ColumnCase{3, 4004, 3}));

TEST(DragOver, NeverSelectsPoleFourOnAThreePoleLevelVisibleOrNot) {
    GameFixture f;
    for (const bool visible : {false, true}) {
        f.game.optPaal[4].Visible = visible;
        f.game.Form_DragOver(4004.9f);
        EXPECT_EQ(f.game.optPaal.Selected(), 3);
    }
}

TEST(DragOver, StartsTheClockAndADragThatNeverReachesTheWindowStartsNothing) {
    GameFixture f;
    EXPECT_FALSE(f.game.timElapsed.Enabled);
    f.game.Form_DragOver(100);
    EXPECT_TRUE(f.game.timElapsed.Enabled);
    EXPECT_EQ(f.game.Moves(), 0) << "dragging over is no move";
}

TEST(DragOver, TheColumnsFollowTheWindowsWidthReadAfresh) {
    GameFixture f;
    f.game.Window.Width = 3000; // columns of 1000
    f.game.Form_DragOver(1000);
    EXPECT_EQ(f.game.optPaal.Selected(), 2);
}

struct DropCase {
    const char* what;
    Layout before;
    int from;
    int to;
    Layout after;
};

class Drops : public ::testing::TestWithParam<DropCase> {};

TEST_P(Drops, CountEveryReleaseWhetherThePoleTakesTheRingOrNot) {
    const DropCase& c = GetParam();
    GameFixture f;
    f.LoadPosition(4, c.before, 5);
    f.Move(c.from, c.to);
    EXPECT_EQ(LayoutOf(f.game), c.after) << c.what;
    EXPECT_EQ(f.game.Moves(), 6);
    EXPECT_EQ(f.game.stbStatusBar.Panels(1).Text, "Moves = 6");
    EXPECT_TRUE(f.desktop.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    DragDrop, Drops,
    ::testing::Values(
        DropCase{"own pole", {{{4, 3, 2, 1}}}, 1, 1, {{{4, 3, 2, 1}}}},
        DropCase{"onto a narrower ring", {{{4, 3}, {2, 1}}}, 1, 2, {{{4, 3}, {2, 1}}}},
        DropCase{"onto an empty pole", {{{4, 3}, {2, 1}}}, 2, 3, {{{4, 3}, {2}, {1}}}},
        DropCase{"onto a wider ring", {{{4, 3}, {1}, {2}}}, 2, 3, {{{4, 3}, {}, {2, 1}}}}));

TEST(DragDrop, ARingOnAnEmptyPoleStandsInTheBottomSlot) {
    GameFixture f;
    f.Move(1, 2);
    const PictureBox& ring1 = f.game.picRing[0];
    EXPECT_EQ(ring1.Top, 3720);
    EXPECT_EQ(ring1.Left, 1910 - 112.5);
    EXPECT_EQ(f.game.picRing[1].DragMode, 1) << "ring 2 is now the top of pole 1";
}

TEST(DragDrop, ARingTheLevelDoesNotHaveMovesNothingButCounts) {
    GameFixture f;
    f.game.Form_DragOver(3000);
    f.game.Form_DragDrop("picRing7");
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{3, 2, 1}, {}, {}, {}}}));
    EXPECT_EQ(f.game.stbStatusBar.Panels(1).Text, "Moves = 1");
}

TEST(DragDrop, TheSelectedPoleStaysSelectedBetweenDrags) {
    GameFixture f;
    f.game.Form_DragOver(3000);
    f.game.Form_DragDrop("picRing1");
    f.game.Form_DragDrop("picRing2"); // released without a new drag-over
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{3, 2}, {}, {1}, {}}}));
    EXPECT_EQ(f.game.Moves(), 2);
}

} // namespace
} // namespace pylons
