#include "support/game_fixture.h"

#include <gtest/gtest.h>

namespace pylons {
namespace {

using testing::GameFixture;
using testing::Layout;
using testing::LayoutOf;
using testing::ReadBytes;
using Calls = std::vector<std::string>;

struct GoalCase {
    const char* what;
    int level;
    Layout before; // one move, ring 1 from pole 1, short of the tower
    int to;
    bool finishes;
};

class Goals : public ::testing::TestWithParam<GoalCase> {};

TEST_P(Goals, OnlyTheLevelsGoalPoleFinishesIt) {
    const GoalCase& c = GetParam();
    GameFixture f;
    f.LoadPosition(c.level, c.before);
    f.game.timElapsed.Enabled = true;
    f.Move(1, c.to);
    EXPECT_EQ(f.game.Level(), c.finishes ? c.level + 1 : c.level) << c.what;
    EXPECT_EQ(f.game.timElapsed.Enabled, !c.finishes);
    EXPECT_EQ(!f.desktop.calls.empty(), c.finishes);
}

INSTANTIATE_TEST_SUITE_P(
    Completion, Goals,
    ::testing::Values(GoalCase{"3 on pole 3", 3, {{{1}, {}, {3, 2}}}, 3, true},
                      GoalCase{"3 on pole 2", 3, {{{1}, {3, 2}, {}}}, 2, false},
                      GoalCase{"5 on pole 3", 5, {{{1}, {}, {5, 4, 3, 2}}}, 3, true},
                      GoalCase{"6 on pole 3", 6, {{{1}, {}, {6, 5, 4, 3, 2}}}, 3, false},
                      GoalCase{"6 on pole 4", 6, {{{1}, {}, {}, {6, 5, 4, 3, 2}}}, 4, true},
                      GoalCase{"8 on pole 4", 8, {{{1}, {}, {}, {8, 7, 6, 5, 4, 3, 2}}}, 4, true},
                      GoalCase{"9 on pole 3", 9, {{{1}, {}, {9, 8, 7, 6, 5, 4, 3, 2}}}, 3, false}));

class LevelMessages : public ::testing::TestWithParam<std::pair<int, const char*>> {};

TEST_P(LevelMessages, FollowTheBeepAndTheScoreAndLeadToTheNextLevel) {
    const auto [level, message] = GetParam();
    GameFixture f;
    Layout before;
    const std::size_t goal = level <= 5 ? 2 : 3;
    before[0] = {1};
    for (int n = level; n >= 2; --n) {
        before[goal].push_back(n);
    }
    f.LoadPosition(level, before, 40, 9);
    f.desktop.names = {"Ann"};
    f.Move(1, static_cast<int>(goal) + 1);
    EXPECT_EQ(
        f.desktop.calls,
        (Calls{"Beep", "MsgBox information: You score is good for FIRST place!",
               "InputBox Hiscore: You name []", std::string("MsgBox information: ") + message}));
    EXPECT_EQ(f.game.Level(), level + 1);
    EXPECT_EQ(f.game.Window.Caption, "Pylons - Level " + std::to_string(level + 1));
    EXPECT_EQ(f.game.Moves(), 0);
    EXPECT_EQ(f.game.stbStatusBar.Panels(3).Text, "0:00:00");
}

INSTANTIATE_TEST_SUITE_P(Completion, LevelMessages,
                         ::testing::Values(std::pair{3, "Good, Next Level!"},
                                           std::pair{4, "Good, Next Level!"},
                                           std::pair{5, "Good, Next Level!"},
                                           std::pair{6, "Very good, next level"},
                                           std::pair{7, "Very good, next level"},
                                           std::pair{8, "Very good, next level"}));

class LastLevel : public ::testing::Test {
protected:
    void FinishNine(MsgResult answer) {
        f.LoadPosition(9, {{{1}, {}, {}, {9, 8, 7, 6, 5, 4, 3, 2}}}, 99, 30);
        f.game.timElapsed.Enabled = true;
        f.desktop.answers = {answer};
        f.Move(1, 4);
    }
    GameFixture f;
};

TEST_F(LastLevel, AsksToQuitAfterTheScoreAndYesUnloads) {
    FinishNine(MsgResult::Yes);
    EXPECT_EQ(f.desktop.calls,
              (Calls{"Beep", "MsgBox information: You score is good for FIRST place!",
                     "InputBox Hiscore: You name []",
                     "MsgBox yes/no: Very good you have made it!\r\nQuit?"}));
    EXPECT_TRUE(f.game.Unloaded);
}

TEST_F(LastLevel, NoLeavesTheFinishedBoardAndTheSameDropFinishesItAgain) {
    FinishNine(MsgResult::No);
    EXPECT_FALSE(f.game.Unloaded);
    EXPECT_EQ(f.game.Level(), 9);
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{}, {}, {}, {9, 8, 7, 6, 5, 4, 3, 2, 1}}}));
    EXPECT_EQ(f.game.Moves(), 100);
    EXPECT_FALSE(f.game.timElapsed.Enabled);
    const std::string shown = f.game.stbStatusBar.Panels(3).Text;

    f.desktop.calls.clear();
    f.desktop.names = {"Bob"};
    f.Move(4, 4);
    EXPECT_FALSE(f.game.timElapsed.Enabled);
    EXPECT_EQ(f.desktop.calls,
              (Calls{"Beep", "MsgBox information: You score is good for SECOND place!",
                     "InputBox Hiscore: You name []",
                     "MsgBox yes/no: Very good you have made it!\r\nQuit?"}));
    EXPECT_EQ(f.game.HiScores.Record(20).Moves, 101);
    EXPECT_EQ(f.game.HiScores.Record(20).Time.View(), "0:00:31   ");
    EXPECT_EQ(shown, "0:00:31");
}

TEST(Completion, TheScoreFileIsWrittenBeforeTheLevelMessage) {
    GameFixture f;
    f.LoadPosition(3, {{{1}, {}, {3, 2}}}, 6, 0);
    f.desktop.names = {"Ann"};
    std::vector<std::uint8_t> fileAtMessage;
    f.desktop.observer = [&](const std::string& call) {
        if (call == "MsgBox information: Good, Next Level!") {
            fileAtMessage = ReadBytes(f.HiScoreFile());
        }
    };
    f.Move(1, 3);
    ASSERT_EQ(fileAtMessage.size(), 903u);
    EXPECT_EQ(std::string(fileAtMessage.begin(), fileAtMessage.begin() + 25),
              "Ann                      ");
}

TEST(Completion, TheClockStopsBeforeAnyMessage) {
    GameFixture f;
    f.LoadPosition(3, {{{1}, {}, {3, 2}}});
    f.game.timElapsed.Enabled = true;
    bool runningAtBeep = true;
    f.desktop.observer = [&](const std::string& call) {
        if (call == "Beep") {
            runningAtBeep = f.game.timElapsed.Enabled;
        }
    };
    f.Move(1, 3);
    EXPECT_FALSE(runningAtBeep);
}

} // namespace
} // namespace pylons
