#include "game/text.h"
#include "support/case_name.h"
#include "support/game_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace fs = std::filesystem;

namespace pylons {
namespace {

using testing::GameFixture;
using testing::Layout;
using testing::LayoutOf;
using testing::ReadBytes;
using testing::RecordOf;
using testing::Snapshot;
using testing::Solve;
using testing::WriteBytes;
using Calls = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

class SaveGame : public ::testing::Test {
protected:
    fs::path File(const std::string& name) const { return f.dir.path() / name; }
    void SaveTo(const fs::path& path) {
        f.desktop.files.push_back(path);
        f.game.mnuSave_Click();
    }
    void LoadFrom(const fs::path& path) {
        f.desktop.files.push_back(path);
        f.game.mnuLoad_Click();
    }
    void StartAt(int level) {
        f.game.Level(static_cast<std::uint8_t>(level));
        f.game.StartLevel(f.game.Level());
    }
    // Every picture in its slot, the top ring of every pole free and every other ring fixed.
    void ExpectConsistentBoard() {
        const Layout layout = LayoutOf(f.game);
        for (int p = 1; p <= 4; ++p) {
            const auto& stack = layout[static_cast<std::size_t>(p - 1)];
            for (std::size_t k = 0; k < stack.size(); ++k) {
                const PictureBox& picture = f.game.picRing[static_cast<std::size_t>(stack[k] - 1)];
                EXPECT_EQ(picture.Top, 3720 - 360.0 * static_cast<double>(k)) << picture.Name;
                EXPECT_EQ(picture.Left, 590 + 1320 * (p - 1) - picture.Width / 2.0) << picture.Name;
                EXPECT_EQ(picture.DragMode, k + 1 == stack.size() ? 1 : 0) << picture.Name;
                EXPECT_TRUE(picture.Visible);
            }
        }
    }

    GameFixture f;
};

TEST_F(SaveGame, AtTheStartOfLevelThreeGivesTheGoldenBytes) {
    SaveTo(File("start.WIM"));
    Bytes expected(118, 0);
    const std::string signature = "Pylons1.0V1265AKPQ45";
    std::copy(signature.begin(), signature.end(), expected.begin());
    expected[20] = 3;
    expected[21] = 3;
    expected[22] = 2;
    expected[23] = 1;
    EXPECT_EQ(ReadBytes(File("start.WIM")), expected);
    EXPECT_EQ(f.desktop.calls, Calls{"Save dialog []"});
}

TEST_F(SaveGame, ChangesNothingInTheGame) {
    f.Moves({{1, 3}, {1, 2}});
    f.game.timElapsed_Timer();
    const Snapshot before(f.game);
    SaveTo(File("a.WIM"));
    EXPECT_EQ(Snapshot(f.game), before);
}

TEST_F(SaveGame, TheDialogCarriesItsSettingsAndOffersTheLastName) {
    const FileDialog& dialog = f.game.cdbFilePic;
    EXPECT_EQ(dialog.DialogTitle, "Pylons");
    EXPECT_EQ(dialog.Filter, "Pylons games|*.WIM");
    EXPECT_EQ(dialog.DefaultExt, "WIM");
    EXPECT_TRUE(dialog.OverwritePrompt && dialog.PathMustExist && dialog.FileMustExist);
    EXPECT_TRUE(dialog.FileName.empty());
    SaveTo(File("first.WIM"));
    f.game.mnuLoad_Click(); // cancelled
    f.game.mnuSave_Click(); // cancelled
    EXPECT_EQ(f.desktop.calls,
              (Calls{"Save dialog []", "Open dialog [" + File("first.WIM").string() + "]",
                     "Save dialog [" + File("first.WIM").string() + "]"}));
}

TEST_F(SaveGame, CancellingEitherDialogChangesNothing) {
    SaveTo(File("kept.WIM"));
    f.Move(1, 2);
    const Snapshot before(f.game);
    const Bytes saved = ReadBytes(File("kept.WIM"));
    f.game.mnuSave_Click();
    f.game.mnuLoad_Click();
    EXPECT_EQ(Snapshot(f.game), before);
    EXPECT_EQ(ReadBytes(File("kept.WIM")), saved);
    EXPECT_EQ(f.desktop.calls.size(), 3u) << "three dialogs and no message";
}

struct RoundTrip {
    const char* what;
    int savedLevel;
    int movesPlayed; // of the shortest solution of the saved level
    int ticks;
    int levelAtLoad;
};

class SaveThenLoad : public SaveGame, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(SaveThenLoad, GivesBackThePositionReachedByPlay) {
    const RoundTrip& c = GetParam();
    StartAt(c.savedLevel);
    const auto solution = Solve(c.savedLevel, c.savedLevel <= 5 ? 3 : 4);
    f.Moves({solution.begin(), solution.begin() + c.movesPlayed});
    for (int i = 0; i < c.ticks; ++i) {
        f.game.timElapsed_Timer();
    }
    SaveTo(File("game.WIM"));
    const Snapshot saved(f.game);

    StartAt(c.levelAtLoad);
    f.Moves({{1, 2}});
    const bool timerBeforeLoad = f.game.timElapsed.Enabled = c.ticks % 2 == 0;
    f.desktop.calls.clear();
    LoadFrom(File("game.WIM"));

    Snapshot expected = saved;
    expected.panels[0] = "Moves " + std::to_string(c.movesPlayed);
    expected.panels[2] = TimeText(c.ticks + 1); // the saved count plus one second
    expected.timer = timerBeforeLoad;
    Snapshot loaded(f.game);
    expected.options = loaded.options; // only a drag selects a pole
    for (std::size_t i = 0; i < 9; ++i) {
        if (!expected.pictures[i].Visible) {
            expected.pictures[i] = loaded.pictures[i]; // out of the game wherever they stand
        }
    }
    EXPECT_EQ(loaded, expected);
    EXPECT_EQ(f.desktop.calls, Calls{"Open dialog [" + File("game.WIM").string() + "]"});
    ExpectConsistentBoard();
}

INSTANTIATE_TEST_SUITE_P(
    SaveGame, SaveThenLoad,
    ::testing::Values(RoundTrip{"level 3 mid-game, from level 3", 3, 3, 5, 3},
                      RoundTrip{"level 5, loaded during level 9", 5, 17, 61, 9},
                      RoundTrip{"level 7, loaded during level 3", 7, 12, 3600, 3},
                      RoundTrip{"level 9 one move short, from level 6", 9, 40, 0, 6},
                      RoundTrip{"level 8 untouched, from level 4", 8, 0, 1, 4}),
    testing::ByWhat());

TEST_F(SaveGame, ALoadedFinishedTowerJustStandsOnItsGoalPole) {
    for (const int level : {3, 9}) {
        Layout tower;
        for (int n = level; n >= 1; --n) {
            tower[level <= 5 ? 2 : 3].push_back(n);
        }
        const auto record = RecordOf(level, tower, 41, 7).Encode();
        WriteBytes(File("done.WIM"), {record.begin(), record.end()});
        const Bytes scores = ReadBytes(f.HiScoreFile());
        f.desktop.calls.clear();
        LoadFrom(File("done.WIM"));
        EXPECT_EQ(f.desktop.calls.size(), 1u) << "no completion message, beep or prompt";
        EXPECT_EQ(f.game.Level(), level);
        EXPECT_EQ(LayoutOf(f.game), tower);
        EXPECT_EQ(f.game.HiScores, HiScoreTable());
        EXPECT_EQ(ReadBytes(f.HiScoreFile()), scores);
        ExpectConsistentBoard();
    }
    f.desktop.calls.clear();
    f.Move(4, 4); // the top ring back onto the goal pole finishes level 9 as after "No"
    EXPECT_EQ(f.desktop.calls.front(), "Beep");
    EXPECT_EQ(f.game.HiScores.Record(19).Moves, 42);
}

TEST_F(SaveGame, ListsWithoutRingsSetUpTheStartingTowerWithTheSavedCounts) {
    const auto record = RecordOf(6, {}, 12, 12).Encode();
    WriteBytes(File("empty.WIM"), {record.begin(), record.end()});
    LoadFrom(File("empty.WIM"));
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{6, 5, 4, 3, 2, 1}, {}, {}, {}}}));
    EXPECT_EQ(f.game.stbStatusBar.Panels(1).Text, "Moves 12");
    EXPECT_EQ(f.game.stbStatusBar.Panels(3).Text, "0:00:13");
    EXPECT_EQ(f.game.stbStatusBar.Panels(3).Tag, 12);
    EXPECT_EQ(f.game.Window.Caption, "Pylons - Level 6");
}

TEST_F(SaveGame, ARingTheStackingRuleRefusesStaysOnTheStartingTower) {
    const auto record = RecordOf(3, {{{}, {}, {1, 2}}}, 0, 0).Encode();
    WriteBytes(File("odd.WIM"), {record.begin(), record.end()});
    LoadFrom(File("odd.WIM"));
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{3, 2}, {}, {1}, {}}}));
    ExpectConsistentBoard();
}

TEST_F(SaveGame, RingsTakenFromInsideTheTowerEndUpInTheirSlotsAndFreeOnTop) {
    f.LoadPosition(5, {{{5, 1}, {4, 3}, {2}}});
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{5, 1}, {4, 3}, {2}, {}}}));
    ExpectConsistentBoard();
    f.Move(2, 1); // ring 3 is free to move, and refused on ring 1
    f.Move(3, 2); // ring 2 onto ring 3
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{5, 1}, {4, 3, 2}, {}, {}}}));
}

TEST_F(SaveGame, ASmallerLevelAfterALargerOneHidesWhatItDoesNotUse) {
    StartAt(9);
    f.LoadPosition(3, {{{3, 2, 1}}});
    for (int n = 1; n <= 9; ++n) {
        EXPECT_EQ(f.game.picRing[static_cast<std::size_t>(n - 1)].Visible, n <= 3) << n;
    }
    EXPECT_FALSE(f.game.optPaal[4].Visible);
    EXPECT_FALSE(f.game.shpPaal[3].Visible);
    EXPECT_EQ(f.game.Window.Width, 4005);
    f.game.Form_DragOver(100);
    f.game.Form_DragDrop("picRing9");
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{3, 2, 1}, {}, {}, {}}}));
}

TEST_F(SaveGame, LoadingNeitherStartsNorStopsTheClock) {
    SaveTo(File("g.WIM"));
    for (const bool running : {false, true}) {
        f.game.timElapsed.Enabled = running;
        LoadFrom(File("g.WIM"));
        EXPECT_EQ(f.game.timElapsed.Enabled, running);
    }
}

struct BadFile {
    const char* what;
    std::function<void(Bytes&)> damage;
};

class Refused : public SaveGame, public ::testing::WithParamInterface<BadFile> {};

TEST_P(Refused, WithTheMessageAndTheGameExactlyAsItWas) {
    auto good = RecordOf(4, {{{4, 1}, {3}, {2}}}, 5, 60).Encode();
    Bytes bytes(good.begin(), good.end());
    GetParam().damage(bytes);
    WriteBytes(File("bad.WIM"), bytes);
    StartAt(6);
    f.Moves({{1, 2}, {1, 3}});
    f.game.timElapsed_Timer();
    const Snapshot before(f.game);
    f.desktop.calls.clear();
    LoadFrom(File("bad.WIM"));
    EXPECT_EQ(Snapshot(f.game), before);
    EXPECT_EQ(f.desktop.calls, (Calls{"Open dialog []", "MsgBox critical: Not A valid savegame"}));
}

void SetDouble(Bytes& bytes, std::size_t at, double value) {
    SaveGameRecord record = *SaveGameRecord::Decode(bytes);
    (at == 102 ? record.Moves : record.Elapsed) = value;
    const auto encoded = record.Encode();
    bytes.assign(encoded.begin(), encoded.end());
}

INSTANTIATE_TEST_SUITE_P(SaveGame, Refused,
                         ::testing::Values(BadFile{"an empty file",
                                                   [](Bytes& b) {
                                                       b.clear();
                                                   }},
                                           BadFile{"19 bytes of the signature",
                                                   [](Bytes& b) {
                                                       b.resize(19);
                                                   }},
                                           BadFile{"the signature alone",
                                                   [](Bytes& b) {
                                                       b.resize(20);
                                                   }},
                                           BadFile{"one byte short",
                                                   [](Bytes& b) {
                                                       b.resize(117);
                                                   }},
                                           BadFile{"a signature in lower case",
                                                   [](Bytes& b) {
                                                       b[0] = 'p';
                                                   }},
                                           BadFile{"a foreign file",
                                                   [](Bytes& b) {
                                                       b.assign(200, 'x');
                                                   }},
                                           BadFile{"level 2",
                                                   [](Bytes& b) {
                                                       b[20] = 2;
                                                   }},
                                           BadFile{"level 10",
                                                   [](Bytes& b) {
                                                       b[20] = 10;
                                                   }},
                                           BadFile{"level 255",
                                                   [](Bytes& b) {
                                                       b[20] = 255;
                                                   }},
                                           BadFile{"a ring above the level",
                                                   [](Bytes& b) {
                                                       b[40] = 5;
                                                   }},
                                           BadFile{"ring number 10",
                                                   [](Bytes& b) {
                                                       b[40] = 10;
                                                   }},
                                           BadFile{"a ring twice on one pole",
                                                   [](Bytes& b) {
                                                       b[31] = 3;
                                                   }},
                                           BadFile{"a ring on two poles",
                                                   [](Bytes& b) {
                                                       b[48] = 2;
                                                   }},
                                           BadFile{"a ring on pole 4 at a level of three poles",
                                                   [](Bytes& b) {
                                                       b[39] = 0;
                                                       b[48] = 2;
                                                   }},
                                           BadFile{"level 3 with its rings on pole 4",
                                                   [](Bytes& b) {
                                                       b[20] = 3;
                                                       b[21] = 0;
                                                       b[22] = 0;
                                                       b[30] = 0;
                                                       b[39] = 0;
                                                       b[48] = 3;
                                                       b[49] = 2;
                                                       b[50] = 1;
                                                   }},
                                           BadFile{"moves not a number",
                                                   [](Bytes& b) {
                                                       SetDouble(b, 102, NAN);
                                                   }},
                                           BadFile{"moves infinite",
                                                   [](Bytes& b) {
                                                       SetDouble(b, 102, INFINITY);
                                                   }},
                                           BadFile{"moves negative",
                                                   [](Bytes& b) {
                                                       SetDouble(b, 102, -1);
                                                   }},
                                           BadFile{"moves not whole",
                                                   [](Bytes& b) {
                                                       SetDouble(b, 102, 2.5);
                                                   }},
                                           BadFile{"moves beyond 2^53",
                                                   [](Bytes& b) {
                                                       SetDouble(b, 102, 9007199254740994.0);
                                                   }},
                                           BadFile{"seconds not a number",
                                                   [](Bytes& b) {
                                                       SetDouble(b, 110, NAN);
                                                   }},
                                           BadFile{"seconds negative",
                                                   [](Bytes& b) {
                                                       SetDouble(b, 110, -0.5);
                                                   }},
                                           BadFile{"seconds not whole",
                                                   [](Bytes& b) {
                                                       SetDouble(b, 110, 0.25);
                                                   }}),
                         testing::ByWhat());

TEST_F(SaveGame, AFileThatIsLongerOrHasReservedBytesSetIsStillAGame) {
    auto good = RecordOf(4, {{{4, 1}, {3}, {2}}}, 5, 60).Encode();
    Bytes bytes(good.begin(), good.end());
    bytes[70] = 9;
    bytes.resize(300, 0xFF);
    WriteBytes(File("long.WIM"), bytes);
    LoadFrom(File("long.WIM"));
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{4, 1}, {3}, {2}, {}}}));
    EXPECT_EQ(f.game.Moves(), 5);
}

TEST_F(SaveGame, AFileThatCannotBeReadIsReportedAndChangesNothing) {
    fs::create_directory(File("folder.WIM"));
    const Snapshot before(f.game);
    LoadFrom(File("folder.WIM"));
    EXPECT_EQ(Snapshot(f.game), before);
    EXPECT_EQ(f.desktop.calls.back(), "MsgBox critical: The game could not be loaded.");
}

TEST_F(SaveGame, ThatFailsSaysSoAndChangesNothing) {
    f.Move(1, 3);
    const Snapshot before(f.game);
    SaveTo(File("vanished") / "game.WIM");
    EXPECT_EQ(f.desktop.calls.back(), "MsgBox critical: The game could not be saved.");
    EXPECT_EQ(Snapshot(f.game), before);
    EXPECT_FALSE(fs::exists(File("vanished")));

    fs::create_directory(File("taken.WIM"));
    SaveTo(File("taken.WIM"));
    EXPECT_EQ(f.desktop.calls.back(), "MsgBox critical: The game could not be saved.");
    EXPECT_TRUE(fs::is_directory(File("taken.WIM")));
}

TEST_F(SaveGame, OverALongerFileLeavesExactlyOneRecord) {
    WriteBytes(File("old.WIM"), Bytes(500, 0x55));
    SaveTo(File("old.WIM"));
    EXPECT_EQ(ReadBytes(File("old.WIM")).size(), 118u);
    EXPECT_EQ(f.desktop.calls.size(), 1u);
}

} // namespace
} // namespace pylons
