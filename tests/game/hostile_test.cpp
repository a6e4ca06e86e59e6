// Folders and files that work against the game: each gets its defined answer, and nothing the
// player has is lost. Permission cases need a user that permissions bind (root may write
// anything), so they skip under root; the test command runs them again as an ordinary user.
// The full disk needs a small file system of its own, which only root may mount.

#include "support/case_name.h"
#include "support/child.h"
#include "support/game_fixture.h"
#include "support/odd_files.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <fstream>

namespace fs = std::filesystem;

namespace pylons {
namespace {

using testing::Encoded;
using testing::GameFixture;
using testing::IsRoot;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

// Finishes level 3 from one move short, entering a first place.
void FinishLevel3(GameFixture& f) {
    f.desktop.names = {"Ann"};
    f.LoadPosition(3, {{{1}, {}, {3, 2}}}, 6, 10);
    f.Move(1, 3);
}

class Hostile : public ::testing::Test {
protected:
    void SetUp() override {
        if (IsRoot()) {
            GTEST_SKIP() << "permissions do not bind root";
        }
    }
};

TEST_F(Hostile, AProgramFolderThatCannotBeWrittenKeepsScoresForTheSession) {
    GameFixture f(false, "program");
    fs::create_directory(f.programDir);
    fs::permissions(f.programDir, fs::perms::owner_read | fs::perms::owner_exec);
    f.game.Form_Load();
    FinishLevel3(f);
    EXPECT_EQ(f.game.Level(), 4) << "the game plays on";
    EXPECT_EQ(f.game.HiScores.Record(1).Name.View().substr(0, 3), "Ann");
    EXPECT_TRUE(fs::is_empty(f.programDir));
    EXPECT_EQ(f.desktop.calls.size(), 4u) << "no word about the failed write";
}

TEST_F(Hostile, AReadOnlyScoreFileIsReadAndLeftAsItIsAndTheSessionKeepsEveryResult) {
    GameFixture f(false);
    HiScoreTable table;
    table.Record(1).Name.Assign("Kept");
    table.Record(1).Moves = 100;
    WriteBytes(f.HiScoreFile(), Encoded(table));
    fs::permissions(f.HiScoreFile(), fs::perms::owner_read);
    f.game.Form_Load();
    EXPECT_EQ(f.game.HiScores, table);
    FinishLevel3(f);
    EXPECT_EQ(ReadBytes(f.HiScoreFile()), Encoded(table));
    EXPECT_EQ(fs::status(f.HiScoreFile()).permissions(), fs::perms::owner_read);
    // Each level's end reads the file again; results it could not take stay all the same.
    f.desktop.names = {"Bob"};
    f.LoadPosition(3, {{{1}, {}, {3, 2}}}, 6, 9);
    f.Move(1, 3);
    const auto names = [&] {
        std::string three;
        for (int k = 1; k <= 3; ++k) {
            three += f.game.HiScores.Record(k).Name.Str().substr(0, 4);
        }
        return three;
    };
    EXPECT_EQ(names(), "Bob Ann Kept");
    EXPECT_EQ(ReadBytes(f.HiScoreFile()), Encoded(table));
    // Once the file can take them, they go in with the next result.
    fs::permissions(f.HiScoreFile(), fs::perms::owner_read | fs::perms::owner_write);
    f.desktop.names = {"Cy"};
    f.LoadPosition(3, {{{1}, {}, {3, 2}}}, 6, 8);
    f.Move(1, 3);
    EXPECT_EQ(names(), "Cy  Bob Ann ");
    EXPECT_EQ(ReadBytes(f.HiScoreFile()), Encoded(f.game.HiScores));
}

TEST_F(Hostile, AScoreFileThatCannotBeReadLeavesTheDefaultsAndTheFile) {
    GameFixture f(false);
    WriteBytes(f.HiScoreFile(), Bytes(903, 'x'));
    fs::permissions(f.HiScoreFile(), fs::perms::none);
    f.game.Form_Load();
    EXPECT_EQ(f.game.HiScores, HiScoreTable());
    fs::permissions(f.HiScoreFile(), fs::perms::owner_read);
    EXPECT_EQ(ReadBytes(f.HiScoreFile()), Bytes(903, 'x'));
}

TEST_F(Hostile, ASaveThroughALinkToAFileThePlayerMayNotWriteIsRefused) {
    GameFixture f;
    const fs::path target = f.dir.path() / "theirs.WIM";
    const fs::path link = f.dir.path() / "mine.WIM";
    WriteBytes(target, Bytes(118, 7));
    fs::permissions(target, fs::perms::owner_read);
    fs::create_symlink(target, link);
    f.Move(1, 3);
    f.desktop.files.push_back(link);
    f.game.Save();
    EXPECT_EQ(f.desktop.calls.back(), "MsgBox critical: The game could not be saved.");
    EXPECT_EQ(ReadBytes(target), Bytes(118, 7));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(f.game.Moves(), 1);
}

TEST_F(Hostile, ASaveIntoAFolderThatMayNotBeWrittenIsRefused) {
    GameFixture f;
    const fs::path folder = f.dir.path() / "locked";
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    f.desktop.files.push_back(folder / "game.WIM");
    f.game.Save();
    EXPECT_EQ(f.desktop.calls.back(), "MsgBox critical: The game could not be saved.");
    EXPECT_TRUE(fs::is_empty(folder));
}

// A drop box: the player may put files in the folder but not list it, so it cannot be opened to
// be flushed after the rename. The save is in place and stays there; that the folder's entry is
// left to the system's own writing is all the player loses, and telling them the game was not
// saved would be wrong.
TEST_F(Hostile, ASaveIntoAFolderThePlayerMayWriteButNotReadIsSaved) {
    GameFixture f;
    f.Move(1, 3);
    const fs::path folder = f.dir.path() / "drop box";
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms::owner_write | fs::perms::owner_exec);
    f.desktop.files = {folder / "game.WIM"};
    f.game.Save();
    EXPECT_EQ(f.desktop.calls, std::vector<std::string>{"Save dialog []"}) << "no message";
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(testing::FolderEntries(folder), std::vector<std::string>{"game.WIM"});
    GameFixture g;
    g.desktop.files = {folder / "game.WIM"};
    g.game.Load();
    EXPECT_EQ(g.game.Moves(), 1);
    EXPECT_EQ(testing::LayoutOf(g.game), (testing::Layout{{{3, 2}, {}, {1}, {}}}));
}

TEST(HostileFolders, ASaveGameFolderThatVanishedIsRefused) {
    GameFixture f;
    const fs::path folder = f.dir.path() / "gone";
    fs::create_directory(folder);
    f.desktop.files.push_back(folder / "game.WIM");
    fs::remove(folder); // between choosing the file and writing it
    f.game.Save();
    EXPECT_EQ(f.desktop.calls.back(), "MsgBox critical: The game could not be saved.");
    EXPECT_FALSE(fs::exists(folder));
}

// A pipe, a device, a socket or a folder where the game expects a file: picked as a saved game
// to open or to save over, or standing as HiScore.Dat. Each gets its answer at once; a game that
// waited for a pipe's other end would hang for good, so the game runs in a child process.
class OddFiles : public ::testing::TestWithParam<testing::OddFile> {};

TEST_P(OddFiles, GetTheirAnswerAtOnceAndAreLeftAlone) {
    GameFixture f;
    const fs::path odd = f.dir.path() / "odd.WIM";
    GetParam().make(odd);
    const auto saves = testing::RunInChild(
        [&] {
            f.desktop.files = {odd, odd};
            f.game.Load();
            f.game.Save();
            std::string calls;
            for (const std::string& call : f.desktop.calls) {
                calls += call + "\n";
            }
            return calls;
        },
        std::chrono::seconds(1));
    ASSERT_TRUE(saves) << "no answer within a second";
    EXPECT_EQ(*saves, "Open dialog []\nMsgBox critical: The game could not be loaded.\n"
                      "Save dialog [" +
                          odd.string() +
                          "]\n"
                          "MsgBox critical: The game could not be saved.\n");
    EXPECT_TRUE(testing::IsStillOdd(odd));

    GameFixture g(false);
    GetParam().make(g.HiScoreFile());
    const auto scores = testing::RunInChild(
        [&] {
            g.game.Form_Load();
            FinishLevel3(g);
            return g.game.HiScores.Record(1).Name.Str().substr(0, 3) + " " +
                   g.game.HiScores.Record(2).Name.Str().substr(0, 3) + " " +
                   std::to_string(g.game.Level());
        },
        std::chrono::seconds(1));
    ASSERT_TRUE(scores) << "no answer within a second";
    EXPECT_EQ(*scores, "Ann Wim 4") << "the defaults and the session's results, in memory";
    EXPECT_TRUE(testing::IsStillOdd(g.HiScoreFile()));
    EXPECT_EQ(testing::FolderEntries(g.dir.path()),
              (std::vector<std::string>{"HiScore.Dat", "position.WIM"}));
}

INSTANTIATE_TEST_SUITE_P(HostileFolders, OddFiles, ::testing::ValuesIn(testing::kOddFiles),
                         testing::ByWhat());

TEST(HostileFolders, ASaveNameAsLongAsTheSystemAllowsIsSavedAndLoaded) {
    GameFixture f;
    f.Move(1, 3);
    const fs::path file = f.dir.path() / (std::string(250, 'g') + ".WIM");
    f.desktop.files = {file, file};
    f.game.Save();
    EXPECT_EQ(f.desktop.calls.size(), 1u) << f.desktop.calls.back();
    EXPECT_EQ(fs::file_size(file), 118u);
    f.Move(1, 2);
    f.game.Load();
    EXPECT_EQ(f.game.Moves(), 1);
    EXPECT_EQ(testing::FolderEntries(f.dir.path()),
              (std::vector<std::string>{"HiScore.Dat", std::string(250, 'g') + ".WIM"}));
}

// A small file system of its own, filled up to the last byte.
class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        if (!IsRoot() || ::mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=64k") != 0) {
            GTEST_SKIP() << "cannot mount a small file system here";
        }
        mounted = true;
    }
    void TearDown() override {
        if (mounted) {
            ::umount2(dir.path().c_str(), MNT_DETACH);
        }
    }
    void Fill() {
        std::ofstream filler(dir.path() / "filler", std::ios::binary);
        const std::vector<char> block(4096, 'f');
        for (int i = 0; i < 64 && filler; ++i) {
            filler.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
    }
    TempDir dir;
    bool mounted = false;
};

TEST_F(FullDisk, StillTakesScoresAndSavesOverAnOldOneButNoNewFile) {
    testing::FakeDesktop desktop;
    frmMain game(desktop, HiScorePath(dir.path()));
    game.Form_Load();
    WriteBytes(dir.path() / "old.WIM", Bytes(118, 9));
    Fill();

    // The table is written where it stands, into blocks the file already has.
    desktop.names = {"Ann"};
    for (const auto& [from, to] : testing::Solve(3, 3)) {
        const std::string ring = game.PaalNr(from).Ringen().back()->RingShape().Name;
        game.Form_DragOver(static_cast<float>(1335 * to - 600));
        game.Form_DragDrop(ring);
    }
    ASSERT_EQ(game.Level(), 4);
    EXPECT_EQ(ReadBytes(dir.path() / "HiScore.Dat"), Encoded(game.HiScores));
    EXPECT_EQ(game.HiScores.Record(1).Name.View().substr(0, 3), "Ann");

    // An old save is overwritten where it stands; a new one has no room at all.
    desktop.calls.clear();
    desktop.files = {dir.path() / "old.WIM", dir.path() / "new.WIM"};
    game.Save();
    EXPECT_TRUE(desktop.calls.size() == 1) << desktop.calls.back();
    const auto saved = SaveGameRecord::Decode(ReadBytes(dir.path() / "old.WIM"));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->Level, 4);
    game.Save();
    EXPECT_EQ(desktop.calls.back(), "MsgBox critical: The game could not be saved.");
    EXPECT_EQ(testing::FolderEntries(dir.path()),
              (std::vector<std::string>{"HiScore.Dat", "filler", "old.WIM"}))
        << "no half-written file is left";
}

} // namespace
} // namespace pylons
