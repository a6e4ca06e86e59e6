// What a player who cannot see the board hears after each thing that happens on it, and what a
// screen reader reads of the board, its poles and its rings.

#include "game/player_input.h"
#include "game/texts.h"
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
    std::function<void(GameFixture&, PlayerInput&)> act; // on level 3, two moves from the end
    Said said;
};

class Announcements : public ::testing::TestWithParam<Happening> {};

TEST_P(Announcements, SayWhatHappenedInItsOrder) {
    GameFixture f;
    PlayerInput input(f.game);
    f.LoadPosition(3, {{{2, 1}, {}, {3}}}, 5, 0);
    f.desktop.said.clear();
    GetParam().act(f, input);
    EXPECT_EQ(f.desktop.said, GetParam().said);
}

INSTANTIATE_TEST_SUITE_P(
    Board, Announcements,
    ::testing::Values(Happening{"a move",
                                [](GameFixture& f, PlayerInput&) { f.Move(1, 2); },
                                {"Ring 1 to pole 2"}},
                      Happening{"a refused drop",
                                [](GameFixture& f, PlayerInput&) {
                                    f.Move(1, 2);
                                    f.desktop.said.clear();
                                    f.Move(1, 2);
                                },
                                {"Ring 2 stays on pole 1: ring 1 on pole 2 is narrower"}},
                      Happening{"a drop on its own pole",
                                [](GameFixture& f, PlayerInput&) { f.Move(1, 1); },
                                {"Ring 1 stays on pole 1"}},
                      Happening{"a finished level, then the next level's board",
                                [](GameFixture& f, PlayerInput&) {
                                    f.Move(1, 2);
                                    f.desktop.said.clear();
                                    f.Move(1, 3);
                                    f.Move(2, 3);
                                },
                                {"Ring 2 to pole 3", "Level 3 finished in 8 moves",
                                 "Level 4. Pole 1: rings 4, 3, 2, 1. Poles 2 and 3: no rings"}},
                      Happening{"a hint",
                                [](GameFixture& f, PlayerInput&) { f.game.mnuHint_Click(); },
                                {"Hint: ring 1 to pole 2, 3 moves to go"}},
                      Happening{"an undo",
                                [](GameFixture& f, PlayerInput&) {
                                    f.Move(1, 2);
                                    f.game.mnuUndo_Click();
                                },
                                {"Ring 1 to pole 2", "Ring 1 to pole 1"}},
                      Happening{"a restart",
                                [](GameFixture& f, PlayerInput&) { f.game.mnuRestart_Click(); },
                                {"Level 3. Pole 1: rings 3, 2, 1. Poles 2 and 3: no rings"}},
                      Happening{"a ring lifted by its key and put down",
                                [](GameFixture& f, PlayerInput& input) {
                                    input.PoleKey(1);
                                    f.desktop.said.push_back("-");
                                    input.PoleKey(2);
                                },
                                {"Ring 1 lifted from pole 1", "-", "Ring 1 to pole 2"}},
                      Happening{"a ring lifted by its key and put back",
                                [](GameFixture&, PlayerInput& input) {
                                    input.PoleKey(3);
                                    input.Escape();
                                },
                                {"Ring 3 lifted from pole 3", "Ring 3 put back on pole 3"}},
                      Happening{"a ring lifted by the mouse: the player sees it",
                                [](GameFixture&, PlayerInput& input) { input.Press(1); },
                                {}},
                      Happening{"the window gaining the focus",
                                [](GameFixture& f, PlayerInput& input) {
                                    f.Move(1, 2);
                                    input.FocusGained();
                                    input.FocusGained(); // said once: nothing changed since
                                },
                                {"Ring 1 to pole 2", "Level 3. Pole 1: rings 2. Pole 2: rings 1. "
                                                     "Pole 3: rings 3"}}),
    testing::ByWhat());

TEST(LevelStarts, AreHeardWithTheirBoard) {
    GameFixture f(false);
    f.game.Form_Load();
    EXPECT_EQ(f.desktop.said, Said{"Level 3. Pole 1: rings 3, 2, 1. Poles 2 and 3: no rings"});
    f.desktop.said.clear();
    f.LoadPosition(6, {{{6, 5}, {}, {4, 3, 2, 1}, {}}}, 9, 0);
    EXPECT_EQ(
        f.desktop.said,
        Said{"Level 6. Pole 1: rings 6, 5. Pole 3: rings 4, 3, 2, 1. Poles 2 and 4: no rings"})
        << "the loaded board, said once it stands";
    f.desktop.said.clear();
    f.LoadPosition(9, {{{9, 8, 7, 6, 5, 4, 3, 2}, {1}, {}, {}}});
    EXPECT_EQ(f.desktop.said, Said{"Level 9. Pole 1: rings 9, 8, 7, 6, 5, 4, 3, 2. "
                                   "Pole 2: rings 1. Poles 3 and 4: no rings"});
}

// What a screen reader reads of a board: a row per position.
struct Reading {
    const char* what;
    int level;
    testing::Layout layout;
    std::string board;
    std::vector<std::string> poles; // poles 1 to 4
    std::vector<std::string> rings; // the level's rings, 1 first
};

class ScreenReaders : public ::testing::TestWithParam<Reading> {};

TEST_P(ScreenReaders, ReadTheBoardAsItStands) {
    GameFixture f;
    const Reading& r = GetParam();
    f.LoadPosition(r.level, r.layout);
    EXPECT_EQ(f.game.BoardDescription(), r.board);
    for (int p = 1; p <= 4; ++p) {
        EXPECT_EQ(f.game.PoleDescription(p), r.poles[static_cast<std::size_t>(p - 1)]);
    }
    for (int n = 1; n <= r.level; ++n) {
        EXPECT_EQ(f.game.RingDescription(n), r.rings[static_cast<std::size_t>(n - 1)]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Positions, ScreenReaders,
    ::testing::Values(
        Reading{
            "level 3 at its start",
            3,
            {{{3, 2, 1}, {}, {}, {}}},
            "Pylons - Level 3. Pole 1: rings 3, 2, 1. Pole 2: no rings. Pole 3: no rings",
            {"Pole 1: rings 3, 2, 1", "Pole 2: no rings", "Pole 3: no rings", "Pole 4: no rings"},
            {"Ring 1 on pole 1, can be moved", "Ring 2 on pole 1", "Ring 3 on pole 1"}},
        Reading{"level 3 in play",
                3,
                {{{3}, {2}, {1}, {}}},
                "Pylons - Level 3. Pole 1: rings 3. Pole 2: rings 2. Pole 3: rings 1",
                {"Pole 1: rings 3", "Pole 2: rings 2", "Pole 3: rings 1", "Pole 4: no rings"},
                {"Ring 1 on pole 3, can be moved", "Ring 2 on pole 2, can be moved",
                 "Ring 3 on pole 1, can be moved"}},
        Reading{"level 6 with pole 4",
                6,
                {{{6, 5}, {2}, {4, 3}, {1}}},
                "Pylons - Level 6. Pole 1: rings 6, 5. Pole 2: rings 2. Pole 3: rings 4, 3. "
                "Pole 4: rings 1",
                {"Pole 1: rings 6, 5", "Pole 2: rings 2", "Pole 3: rings 4, 3", "Pole 4: rings 1"},
                {"Ring 1 on pole 4, can be moved", "Ring 2 on pole 2, can be moved",
                 "Ring 3 on pole 3, can be moved", "Ring 4 on pole 3",
                 "Ring 5 on pole 1, can be moved", "Ring 6 on pole 1"}}),
    testing::ByWhat());

TEST(Texts, BoardsAloudGroupTheEmptyPoles) {
    EXPECT_EQ(texts::BoardAloud(4, {{4, 3, 2, 1}, {}, {}}),
              "Level 4. Pole 1: rings 4, 3, 2, 1. Poles 2 and 3: no rings");
    EXPECT_EQ(texts::BoardAloud(6, {{6, 5, 4, 3, 2, 1}, {}, {}, {}}),
              "Level 6. Pole 1: rings 6, 5, 4, 3, 2, 1. Poles 2, 3 and 4: no rings");
    EXPECT_EQ(texts::BoardAloud(3, {{3, 2}, {}, {1}}),
              "Level 3. Pole 1: rings 3, 2. Pole 3: rings 1. Pole 2: no rings");
    EXPECT_EQ(texts::BoardAloud(3, {{3}, {2}, {1}}),
              "Level 3. Pole 1: rings 3. Pole 2: rings 2. Pole 3: rings 1");
}

TEST(Texts, TheMenusHoldEveryCommandOnceWithItsAccessKey) {
    std::vector<std::string> seen;
    for (const texts::Menu& menu : texts::Menus()) {
        EXPECT_NE(menu.caption.find('&'), std::string_view::npos) << menu.caption;
        for (const texts::MenuItem& item : menu.items) {
            EXPECT_NE(item.caption.find('&'), std::string_view::npos) << item.caption;
            seen.emplace_back(item.name);
        }
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"mnuSave", "mnuLoad", "mnuHiScore", "mnuQuit",
                                              "mnuUndo", "mnuRedo", "mnuRestart", "mnuHint",
                                              "mnuSolve", "mnuWeb", "mnuAbout"}));
}

} // namespace
} // namespace pylons
