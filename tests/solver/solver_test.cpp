#include "solver/solver.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace pylons {
namespace {

using Position = std::vector<std::uint8_t>;

struct LevelCase {
    int level;
    int poles;
    int fewest; // moves from the starting tower
};

const LevelCase kLevels[] = {{3, 3, 7},  {4, 3, 15}, {5, 3, 31}, {6, 4, 17},
                             {7, 4, 25}, {8, 4, 33}, {9, 4, 41}};

class SolverLevels : public ::testing::TestWithParam<LevelCase> {
protected:
    const Solver& solver() const {
        static std::vector<std::unique_ptr<Solver>> made(10);
        auto& kept = made[static_cast<std::size_t>(GetParam().level)];
        if (!kept) {
            kept = std::make_unique<Solver>(GetParam().level, GetParam().poles);
        }
        return *kept;
    }
    Position Start() const { return Position(static_cast<std::size_t>(GetParam().level), 1); }
    Position Goal() const {
        return Position(static_cast<std::size_t>(GetParam().level),
                        static_cast<std::uint8_t>(GetParam().poles));
    }
};

TEST_P(SolverLevels, TheStartingTowerIsTheFewestMovesAway) {
    EXPECT_EQ(solver().Distance(Start()), GetParam().fewest);
}

TEST_P(SolverLevels, AFinishedTowerIsNoMoveAwayAndHasNoHint) {
    EXPECT_EQ(solver().Distance(Goal()), 0);
    EXPECT_FALSE(solver().BestMove(Goal()));
}

TEST_P(SolverLevels, WhatIsNoPositionOfTheLevelHasNoAnswer) {
    Position tooShort(static_cast<std::size_t>(GetParam().level) - 1, 1);
    Position poleZero = Start();
    poleZero[0] = 0;
    Position poleTooFar = Start();
    poleTooFar.back() = static_cast<std::uint8_t>(GetParam().poles + 1);
    for (const Position& position : {tooShort, poleZero, poleTooFar}) {
        EXPECT_FALSE(solver().Distance(position));
        EXPECT_FALSE(solver().BestMove(position));
    }
}

// Positions reached by random legal play from the starting tower, the same ones every run.
std::vector<Position> PlayedPositions(const LevelCase& level, int count) {
    std::mt19937 random(20261210u + static_cast<unsigned>(level.level));
    std::vector<Position> positions;
    for (int i = 0; i < count; ++i) {
        Position position(static_cast<std::size_t>(level.level), 1);
        const int length = std::uniform_int_distribution<int>(0, 300)(random);
        for (int step = 0; step < length; ++step) {
            const auto moves = Solver::LegalMoves(position, level.poles);
            const auto& move =
                moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(random)];
            position[static_cast<std::size_t>(move.ring) - 1] = static_cast<std::uint8_t>(move.to);
        }
        positions.push_back(position);
    }
    return positions;
}

TEST_P(SolverLevels, FollowingTheHintsFromAnyPositionTakesExactlyTheDistanceAndNoMoveDoesBetter) {
    for (const Position& from : PlayedPositions(GetParam(), 60)) {
        const int distance = *solver().Distance(from);
        // No move of the rules leads more than one move nearer: the hint is a shortest way.
        for (const SolverMove& move : Solver::LegalMoves(from, GetParam().poles)) {
            Position after = from;
            after[static_cast<std::size_t>(move.ring) - 1] = static_cast<std::uint8_t>(move.to);
            const int next = *solver().Distance(after);
            EXPECT_GE(next, distance - 1);
            EXPECT_LE(next, distance + 1);
        }
        Position position = from;
        int moves = 0;
        while (const auto hint = solver().BestMove(position)) {
            const auto legal = Solver::LegalMoves(position, GetParam().poles);
            ASSERT_NE(std::find(legal.begin(), legal.end(), *hint), legal.end())
                << "ring " << hint->ring << " from " << hint->from << " to " << hint->to;
            position[static_cast<std::size_t>(hint->ring) - 1] =
                static_cast<std::uint8_t>(hint->to);
            ++moves;
            ASSERT_LE(moves, distance);
        }
        EXPECT_EQ(moves, distance);
        EXPECT_EQ(position, Goal());
    }
}

INSTANTIATE_TEST_SUITE_P(Solver, SolverLevels, ::testing::ValuesIn(kLevels),
                         [](const auto& row) { return "level" + std::to_string(row.param.level); });

TEST(Solver, LegalMovesFollowTheStackingRule) {
    // Rings 1 and 3 on pole 1 (1 on top), ring 2 on pole 2, pole 3 empty.
    const Position position = {1, 2, 1};
    const auto moves = Solver::LegalMoves(position, 3);
    const std::vector<SolverMove> expected = {{1, 1, 2}, {1, 1, 3}, {2, 2, 3}};
    EXPECT_EQ(moves, expected);
}

TEST(Solver, KeepsLessThanAMegabyteAtTheLargestLevel) {
    const Solver solver(9, 4);
    EXPECT_LT(solver.BytesKept(), 1u << 20);
}

TEST(Solver, RefusesWhatIsNoLevel) {
    EXPECT_THROW(Solver(0, 3), std::invalid_argument);
    EXPECT_THROW(Solver(10, 4), std::invalid_argument);
    EXPECT_THROW(Solver(3, 5), std::invalid_argument);
}

} // namespace
} // namespace pylons
