#include "support/game_fixture.h"

#include <gtest/gtest.h>

namespace pylons {
namespace {

using testing::GameFixture;
using testing::Layout;
using testing::LayoutOf;
using testing::ReadBytes;

TEST(FormLoad, StartsLevelThreeWithDefaultScoresAndCreatesTheScoreFile) {
    GameFixture f;
    frmMain& game = f.game;
    EXPECT_EQ(game.Level(), 3);
    EXPECT_EQ(LayoutOf(game), (Layout{{{3, 2, 1}, {}, {}, {}}}));
    EXPECT_EQ(game.stbStatusBar.Panels(1).Text, "Moves 0");
    EXPECT_EQ(game.stbStatusBar.Panels(2).Text, "Fastest time 0:00:00   ");
    EXPECT_EQ(game.stbStatusBar.Panels(3).Text, "0:00:00");
    EXPECT_EQ(game.Window.Caption, "Pylons - Level 3");
    EXPECT_EQ(game.Window.Width, 4005);
    EXPECT_FALSE(game.timElapsed.Enabled) << "the clock waits for the first drag";
    EXPECT_EQ(game.HiScores, HiScoreTable());
    const auto bytes = HiScoreTable().Encode();
    EXPECT_EQ(ReadBytes(f.HiScoreFile()), std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    EXPECT_TRUE(f.desktop.calls.empty());
}

TEST(FormLoad, ControlsAreHiddenUntilTheFirstLevelShowsThem) {
    GameFixture f(false);
    for (int p = 1; p <= 4; ++p) {
        EXPECT_FALSE(f.game.optPaal[p].Visible);
        EXPECT_FALSE(f.game.shpPaal[static_cast<std::size_t>(p - 1)].Visible);
    }
    EXPECT_TRUE(f.game.optPaal[1].Value);
    for (const PictureBox& picture : f.game.picRing) {
        EXPECT_FALSE(picture.Visible);
        EXPECT_EQ(picture.DragMode, 1);
    }
    EXPECT_EQ(f.game.picRing[8].BackColor, (Rgb{0, 0, 0}));
    EXPECT_EQ(f.game.picRing[0].BackColor, (Rgb{224, 224, 224}));
}

TEST(FormLoad, CentresTheWindowOnTheScreen) {
    GameFixture f(false);
    f.game.Screen = {19200, 16200};
    f.game.Window.Height = 5001;
    f.game.Form_Load();
    EXPECT_EQ(f.game.Window.Top, 5599.5);
    EXPECT_EQ(f.game.Window.Left, 7597.5);
}

class Levels : public ::testing::TestWithParam<int> {};

TEST_P(Levels, SetUpTheirTowerPolesWidthAndTexts) {
    const int level = GetParam();
    GameFixture f;
    frmMain& game = f.game;
    game.HiScores.Record(HiScoreTable::RecordNumber(level, 1)).Time.Assign("1:02:03");
    f.Moves({{1, 2}, {1, 3}}); // a spread position first: the level collects every ring again
    game.stbStatusBar.Panels(3).Tag = 77;
    game.Level(static_cast<std::uint8_t>(level));
    game.StartLevel(game.Level());

    const int poles = level <= 5 ? 3 : 4;
    std::vector<int> tower;
    for (int n = level; n >= 1; --n) {
        tower.push_back(n);
    }
    EXPECT_EQ(LayoutOf(game), (Layout{{tower, {}, {}, {}}}));
    for (int n = 1; n <= 9; ++n) {
        const PictureBox& picture = game.picRing[static_cast<std::size_t>(n - 1)];
        EXPECT_EQ(picture.Visible, n <= level) << "ring " << n;
        if (n <= level) {
            EXPECT_EQ(picture.DragMode, n == 1 ? 1 : 0) << "only the top ring can be dragged";
            EXPECT_EQ(picture.Top, 3720 - 360 * (level - n));
            EXPECT_EQ(picture.Left, 590 - picture.Width / 2.0);
        }
    }
    for (int p = 1; p <= 4; ++p) {
        EXPECT_EQ(game.optPaal[p].Visible, p <= poles);
        EXPECT_EQ(game.shpPaal[static_cast<std::size_t>(p - 1)].Visible, p <= poles);
    }
    EXPECT_EQ(game.Window.Width, 1335 * poles);
    EXPECT_EQ(game.Window.Caption, "Pylons - Level " + std::to_string(level));
    EXPECT_EQ(game.Moves(), 0);
    EXPECT_EQ(game.stbStatusBar.Panels(1).Text, "Moves 0");
    EXPECT_EQ(game.stbStatusBar.Panels(2).Text, "Fastest time 1:02:03   ");
    EXPECT_EQ(game.stbStatusBar.Panels(3).Text, "0:00:00");
    EXPECT_EQ(game.stbStatusBar.Panels(3).Tag, 0);
    EXPECT_EQ(game.Window.Left, (1024 * 15 - 1335 * poles) / 2.0);
    for (int n = 1; n <= level; ++n) {
        EXPECT_TRUE(game.RingByName("picRing" + std::to_string(n))) << n;
    }
    EXPECT_FALSE(game.RingByName("picRing" + std::to_string(level + 1)));
}

INSTANTIATE_TEST_SUITE_P(Catalogue, Levels, ::testing::Range(3, 10));

TEST(StartLevel, LeavesTheClockTimerAsItFindsIt) {
    GameFixture f;
    f.game.timElapsed.Enabled = true;
    f.game.StartLevel(4);
    EXPECT_TRUE(f.game.timElapsed.Enabled);
}

TEST(MnuQuit, UnloadsTheMainWindowAndSavesNothing) {
    GameFixture f;
    f.Move(1, 3);
    const auto before = ReadBytes(f.HiScoreFile());
    f.game.mnuQuit_Click();
    EXPECT_TRUE(f.game.Unloaded);
    EXPECT_EQ(ReadBytes(f.HiScoreFile()), before);
}

TEST(MnuWeb, OpensTheWebSite) {
    GameFixture f;
    f.game.mnuWeb_Click();
    EXPECT_EQ(f.desktop.calls, std::vector<std::string>{"ShellOpen http://www.example.com/"});
}

} // namespace
} // namespace pylons
