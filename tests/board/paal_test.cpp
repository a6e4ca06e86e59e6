#include "board/paal.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <utility>
#include <vector>

namespace pylons {
namespace {

using Stacks = std::array<std::vector<int>, 4>;

// Four poles and nine rings on their own, with a record of every goal check the poles ask for.
class Board : public PaalOwner, public ::testing::Test {
public:
    Board() {
        const int widths[] = {225, 375, 495, 615, 735, 855, 975, 1095, 1215};
        for (std::size_t i = 0; i < 9; ++i) {
            pictures[i].Name = "picRing" + std::to_string(i + 1);
            pictures[i].Width = widths[i];
            pictures[i].Height = 375;
        }
        rings = {std::make_shared<clsRing1>(pictures), std::make_shared<clsRing2>(pictures),
                 std::make_shared<clsRing3>(pictures), std::make_shared<clsRing4>(pictures),
                 std::make_shared<clsRing5>(pictures), std::make_shared<clsRing6>(pictures),
                 std::make_shared<clsRing7>(pictures), std::make_shared<clsRing8>(pictures),
                 std::make_shared<clsRing9>(pictures)};
    }

    PaalBase& PaalNr(int number) override {
        return *poles.at(static_cast<std::size_t>(number - 1));
    }
    void CheckFinished(int pole, std::size_t count) override { checks.emplace_back(pole, count); }

    // Puts the rings on the poles, bottom first, as a player could have left them.
    void Stack(const Stacks& stacks) {
        for (int p = 1; p <= 4; ++p) {
            for (const int ring : stacks[static_cast<std::size_t>(p - 1)]) {
                PaalNr(p).AddRing(Ring(ring));
            }
        }
        checks.clear();
    }
    Stacks Layout() const {
        Stacks stacks;
        for (std::size_t p = 0; p < 4; ++p) {
            std::array<std::uint8_t, 9> numbers{};
            poles[p]->GeefRingen(numbers);
            for (const auto n : numbers) {
                if (n != 0) {
                    stacks[p].push_back(n);
                }
            }
        }
        return stacks;
    }
    const std::shared_ptr<infRing>& Ring(int n) const {
        return rings.at(static_cast<std::size_t>(n - 1));
    }
    PictureBox& Picture(int n) { return pictures.at(static_cast<std::size_t>(n - 1)); }

protected:
    RingPictures pictures;
    std::array<std::shared_ptr<infRing>, 9> rings;
    std::array<std::unique_ptr<PaalBase>, 4> poles = {
        std::make_unique<clsPaal1>(*this), std::make_unique<clsPaal2>(*this),
        std::make_unique<clsPaal3>(*this), std::make_unique<clsPaal4>(*this)};
    std::vector<std::pair<int, std::size_t>> checks;
};

TEST_F(Board, RingsKnowTheirPictureAndStartOnNoPole) {
    clsRing7 ring(pictures);
    EXPECT_EQ(ring.ID(), "picRing7");
    EXPECT_EQ(&ring.RingShape(), &Picture(7));
    EXPECT_EQ(ring.Paal(), 0);
    ring.StaatVast();
    EXPECT_EQ(Picture(7).DragMode, 0);
}

TEST_F(Board, AllNineOnPoleOneStandInTheirSlots) {
    Stack({{{9, 8, 7, 6, 5, 4, 3, 2, 1}}});
    EXPECT_EQ(Picture(9).Left, -17.5);
    EXPECT_EQ(Picture(9).Top, 3720);
    EXPECT_EQ(Picture(1).Left, 477.5);
    EXPECT_EQ(Picture(1).Top, 840);
    for (int n = 1; n <= 9; ++n) {
        EXPECT_EQ(Picture(n).DragMode, n == 1 ? 1 : 0) << "ring " << n;
        EXPECT_EQ(Ring(n)->Paal(), 1);
    }
}

TEST_F(Board, ARingOnAnEmptyPoleGoesToTheBottomSlotCentredOnThePole) {
    for (int p = 1; p <= 4; ++p) {
        Stack({});
        PaalNr(p).AddRing(Ring(4));
        EXPECT_EQ(Picture(4).Top, 3720);
        EXPECT_EQ(Picture(4).Left, 590 + 1320 * (p - 1) - 615 / 2.0) << "pole " << p;
        EXPECT_EQ(Ring(4)->Paal(), p);
    }
}

struct DropCase {
    const char* what;
    Stacks before;
    int ring;
    int pole;
    Stacks after;
};

class BoardDrops : public Board, public ::testing::WithParamInterface<DropCase> {};

TEST_P(BoardDrops, FollowTheStackingRule) {
    const DropCase& c = GetParam();
    Stack(c.before);
    const PictureBox pictureBefore = Picture(c.ring);
    const int poleBefore = Ring(c.ring)->Paal();
    PaalNr(c.pole).AddRing(Ring(c.ring));
    EXPECT_EQ(Layout(), c.after);
    if (c.after == c.before) {
        EXPECT_EQ(Picture(c.ring), pictureBefore) << "a refused ring keeps its place";
        EXPECT_EQ(Ring(c.ring)->Paal(), poleBefore);
    } else {
        EXPECT_EQ(Ring(c.ring)->Paal(), c.pole);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Board, BoardDrops,
    ::testing::Values(
        DropCase{"onto an empty pole", {{{3, 2, 1}}}, 1, 2, {{{3, 2}, {1}}}},
        DropCase{"onto a wider ring", {{{3, 2}, {}, {4}}}, 2, 3, {{{3}, {}, {4, 2}}}},
        DropCase{"onto a narrower ring", {{{4, 3}, {}, {2}}}, 3, 3, {{{4, 3}, {}, {2}}}},
        DropCase{"ring 6 onto ring 4", {{{6}, {4}}}, 6, 2, {{{6}, {4}}}},
        DropCase{"back onto its own pole", {{{3, 2, 1}}}, 1, 1, {{{3, 2, 1}}}},
        DropCase{"from pole 4 to pole 1", {{{9}, {}, {}, {8, 5}}}, 5, 1, {{{9, 5}, {}, {}, {8}}}},
        DropCase{"the last ring off a pole", {{{}, {}, {7}, {2}}}, 2, 3, {{{}, {}, {7, 2}, {}}}}),
    testing::ByWhat());

TEST_F(Board, AddRingFixesTheRingsBeneathAndFreesTheOldPolesNewTop) {
    Stack({{{5, 4}, {6}}});
    Picture(6).DragMode = 1;
    PaalNr(2).AddRing(Ring(4));
    EXPECT_EQ(Picture(6).DragMode, 0) << "covered ring is fixed";
    EXPECT_EQ(Picture(4).DragMode, 1) << "the placed ring itself keeps its drag mode";
    EXPECT_EQ(Picture(5).DragMode, 1) << "the old pole's new top can be picked up";
    EXPECT_EQ(Picture(4).Top, 3360);
    EXPECT_EQ(Picture(4).Left, 1910 - 307.5);
}

TEST_F(Board, APoleThatRefusesARingChangesNoDragMode) {
    Stack({{{6}, {4}}});
    Picture(6).DragMode = 1;
    Picture(4).DragMode = 1;
    PaalNr(2).AddRing(Ring(6));
    EXPECT_EQ(Picture(6).DragMode, 1);
    EXPECT_EQ(Picture(4).DragMode, 1);
}

TEST_F(Board, TheTopRingDroppedOnItsOwnPoleComesBackToItsPlace) {
    Stack({{{3, 2, 1}}});
    Picture(1).Left = 2000; // as if the view had moved it
    Picture(1).Top = 100;
    PaalNr(1).AddRing(Ring(1));
    EXPECT_EQ(Picture(1).Left, 477.5);
    EXPECT_EQ(Picture(1).Top, 3000);
    EXPECT_EQ(Picture(2).DragMode, 0);
    EXPECT_EQ(Picture(3).DragMode, 0);
    EXPECT_EQ(Ring(1)->Paal(), 1);
}

TEST_F(Board, TakingTheLastRingOffAPoleChangesNoDragMode) {
    Stack({{{}, {5}}});
    Picture(5).DragMode = 1;
    PaalNr(3).AddRing(Ring(5));
    EXPECT_TRUE(Layout()[1].empty());
    EXPECT_EQ(Picture(5).DragMode, 1);
}

TEST_F(Board, RemoveRingFromTheMiddleKeepsTheOrderAboveAndFreesOnlyTheTop) {
    Stack({{{7, 5, 2}}});
    const PictureBox two = Picture(2);
    PaalNr(1).RemoveRing(*Ring(5));
    EXPECT_EQ(Layout()[0], (std::vector<int>{7, 2}));
    EXPECT_EQ(Picture(2), two) << "pictures above stay where they are";
    EXPECT_EQ(Picture(7).DragMode, 0);
}

TEST_F(Board, GeefRingenWritesBottomFirstAndLeavesTheRestAlone) {
    Stack({{{7, 5, 2}}});
    std::array<std::uint8_t, 9> numbers;
    numbers.fill(0xEE);
    PaalNr(1).GeefRingen(numbers);
    EXPECT_EQ(numbers, (std::array<std::uint8_t, 9>{7, 5, 2, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
    numbers.fill(0xEE);
    PaalNr(2).GeefRingen(numbers);
    EXPECT_EQ(numbers[0], 0xEE) << "an empty pole writes nothing";
}

TEST_F(Board, OnlyPolesThreeAndFourAskForTheGoalCheckAndOnlyWhenTheyTakeTheRing) {
    Stack({{{9, 8, 7, 6}}});
    PaalNr(2).AddRing(Ring(6));
    PaalNr(3).AddRing(Ring(7));
    PaalNr(4).AddRing(Ring(8));
    PaalNr(3).AddRing(Ring(6));
    PaalNr(4).AddRing(Ring(9)); // refused: ring 8 is narrower
    EXPECT_EQ(checks, (std::vector<std::pair<int, std::size_t>>{{3, 1}, {4, 1}, {3, 2}}));
}

TEST_F(Board, TheGoalCheckComesAfterTheRingIsInPlace) {
    Stack({{{2, 1}}});
    struct Spy : PaalOwner {
        Board& board;
        double topSeen = 0;
        explicit Spy(Board& b) : board(b) {}
        PaalBase& PaalNr(int number) override { return board.PaalNr(number); }
        void CheckFinished(int, std::size_t) override { topSeen = board.Picture(1).Top; }
    } spy(*this);
    clsPaal3 goal(spy);
    goal.AddRing(Ring(2)); // comes off pole 1 through the board's poles
    goal.AddRing(Ring(1));
    EXPECT_EQ(spy.topSeen, 3360);
    EXPECT_EQ(Layout()[0], std::vector<int>{}) << "both rings left pole 1";
}

} // namespace
} // namespace pylons
