// What a player who cannot see the board hears after each thing that happens on it.

#include "support/case_name.h"
#include "support/game_fixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace pylons {
namespace {

using testing::GameFixture;
using Said = std::vector<std::string>;

struct Happening {
    const char* what;
    std::function<void(GameFixture&)> act; // on level 3, two moves from the end
    Said said;
};

class Announcements : public ::testing::TestWithParam<Happening> {};

TEST_P(Announcements, SayWhatHappened) {
    GameFixture f;
    f.LoadPosition(3, {{{2, 1}, {}, {3}}}, 5, 0);
    f.game.Announcements.clear();
    GetParam().act(f);
    EXPECT_EQ(f.game.Announcements, GetParam().said);
}

INSTANTIATE_TEST_SUITE_P(
    Board, Announcements,
    ::testing::Values(
        Happening{"a move", [](GameFixture& f) { f.Move(1, 2); }, {"Ring 1 to pole 2"}},
        Happening{"a refused drop",
                  [](GameFixture& f) {
                      f.Move(1, 2);
                      f.game.Announcements.clear();
                      f.Move(1, 2);
                  },
                  {"Ring 2 stays on pole 1: ring 1 on pole 2 is narrower"}},
        Happening{"a drop on its own pole",
                  [](GameFixture& f) { f.Move(1, 1); },
                  {"Ring 1 stays on pole 1"}},
        Happening{"a finished level",
                  [](GameFixture& f) {
                      f.Move(1, 2);
                      f.game.Announcements.clear();
                      f.Move(1, 3);
                      f.Move(2, 3);
                  },
                  {"Ring 2 to pole 3", "Level 3 finished in 8 moves"}},
        Happening{"a hint",
                  [](GameFixture& f) { f.game.mnuHint_Click(); },
                  {"Hint: ring 1 to pole 2, 3 moves to go"}},
        Happening{"an undo",
                  [](GameFixture& f) {
                      f.Move(1, 2);
                      f.game.mnuUndo_Click();
                  },
                  {"Ring 1 to pole 2", "Ring 1 to pole 1"}}),
    testing::ByWhat());

} // namespace
} // namespace pylons
