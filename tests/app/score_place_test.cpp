// Where the scores live, and the ways players install the game: from a folder of their own, from
// a package (program folder locked, no HiScore.Dat), as a shared install (program folder locked,
// HiScore.Dat writable by all players). The installs are set up by root and played as the
// unprivileged user "nobody", so they run only where the tests run as root.

#include "app/score_place.h"

#include "storage/hiscore.h"
#include "support/case_name.h"
#include "support/child.h"
#include "support/game_fixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <pwd.h>

namespace fs = std::filesystem;

namespace pylons {
namespace {

using namespace std::chrono_literals;
using testing::Encoded;
using testing::FolderEntries;
using testing::ReadBytes;
using testing::RunAs;
using testing::RunInChild;
using testing::TempDir;
using testing::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

struct FolderCase {
    const char* what;
    const char* xdgDataHome;
    const char* home;
    const char* folder;
};

class PlayerFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(PlayerFolder, FollowsTheFreedesktopRules) {
    EXPECT_EQ(FreedesktopDataFolder(GetParam().xdgDataHome, GetParam().home),
              fs::path(GetParam().folder));
}

INSTANTIATE_TEST_SUITE_P(
    ScorePlace, PlayerFolder,
    ::testing::Values(
        FolderCase{"XDG_DATA_HOME set", "/data/ann", "/home/ann", "/data/ann/pylons"},
        FolderCase{"XDG_DATA_HOME relative", "data", "/home/ann", "/home/ann/.local/share/pylons"},
        FolderCase{"XDG_DATA_HOME empty", "", "/home/ann", "/home/ann/.local/share/pylons"},
        FolderCase{"only HOME", nullptr, "/home/ann", "/home/ann/.local/share/pylons"},
        FolderCase{"neither", nullptr, nullptr, ""}, FolderCase{"HOME empty", nullptr, "", ""}),
    testing::ByWhat());

TEST(ScorePlace, BesideTheProgramWhenItsFolderTakesTheFile) {
    TempDir dir;
    const ScorePlace place = ChooseScorePlace(dir.path(), dir.path() / "home");
    EXPECT_EQ(place.file, dir.path() / "HiScore.Dat");
    EXPECT_TRUE(place.startFrom.empty());
    PrepareScoreFile(place);
    EXPECT_FALSE(fs::exists(dir.path() / "home")) << "no player folder is made";
}

TEST(ScorePlace, BesideTheProgramWhenThePlayerHasNoFolder) {
    const ScorePlace place = ChooseScorePlace("/no/such/program/folder", {});
    EXPECT_EQ(place.file, fs::path("/no/such/program/folder/HiScore.Dat"));
}

TEST(ScorePlace, ANewPlayerFileStartsFromTheRecordsBesideTheProgramAndNeverOverwrites) {
    testing::UmaskFor umask(022);
    TempDir dir;
    HiScoreTable shipped;
    shipped.Record(1).Name.Assign("Shipped");
    shipped.Record(1).Moves = 8;
    Bytes shortFile = Encoded(shipped);
    shortFile.resize(2 * 43 + 5); // whole records only; the rest are the defaults
    WriteBytes(dir.path() / "HiScore.Dat", shortFile);
    HiScoreTable expected;
    expected.Record(1) = shipped.Record(1);

    const ScorePlace place{dir.path() / "home" / "share" / "pylons" / "HiScore.Dat",
                           dir.path() / "HiScore.Dat"};
    PrepareScoreFile(place);
    EXPECT_EQ(ReadBytes(place.file), Encoded(expected));
    EXPECT_EQ(fs::status(dir.path() / "home").permissions(), fs::perms::owner_all)
        << "the player's folders are the player's alone";
    EXPECT_EQ(ReadBytes(dir.path() / "HiScore.Dat"), shortFile);

    HiScoreTable mine;
    mine.Record(4).Name.Assign("Mine");
    WriteBytes(place.file, Encoded(mine));
    PrepareScoreFile(place);
    EXPECT_EQ(ReadBytes(place.file), Encoded(mine));
}

TEST(ScorePlace, NothingBesideTheProgramLeavesTheNewFileToTheGame) {
    TempDir dir;
    const ScorePlace place{dir.path() / "pylons" / "HiScore.Dat", dir.path() / "HiScore.Dat"};
    PrepareScoreFile(place);
    EXPECT_TRUE(fs::is_directory(dir.path() / "pylons"));
    EXPECT_FALSE(fs::exists(place.file));
}

// --- installs, played as nobody ---

class Installed : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing::IsRoot()) {
            GTEST_SKIP() << "setting up an install for another user needs root";
        }
        // Everyone may pass through the test's folder; the program folder is root's, as in
        // /usr/games; the player's home is nobody's.
        fs::permissions(dir.path(),
                        fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
        fs::create_directory(program);
        fs::create_directory(home);
        const passwd* nobody = ::getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        ASSERT_EQ(::chown(home.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    }

    // Starts the game as nobody, as the program does, and plays a level-3 entry if a name is
    // given. Answers the file the game used, then the first record's name.
    std::string Play(const std::string& name) const {
        const auto answer = RunInChild(
            [&] {
                const ScorePlace place =
                    ChooseScorePlace(program, FreedesktopDataFolder(nullptr, home.c_str()));
                PrepareScoreFile(place);
                testing::FakeDesktop desktop;
                frmMain game(desktop, place.file);
                game.Form_Load();
                if (!name.empty()) {
                    desktop.names = {name};
                    for (const auto& [from, to] : testing::Solve(3, 3)) {
                        const std::string ring =
                            game.PaalNr(from).Ringen().back()->RingShape().Name;
                        game.Form_DragOver(static_cast<float>(1335 * to - 600));
                        game.Form_DragDrop(ring);
                    }
                }
                return place.file.string() + "|" + game.HiScores.Record(1).Name.Str();
            },
            10s, RunAs::Nobody);
        return answer.value_or("no answer");
    }

    TempDir dir;
    fs::path program = dir.path() / "games";
    fs::path home = dir.path() / "home";
    fs::path playerFile = home / ".local" / "share" / "pylons" / "HiScore.Dat";
};

TEST_F(Installed, AsAPackageKeepsResultsInThePlayersOwnFileAcrossStarts) {
    const std::string file = playerFile.string() + "|";
    EXPECT_EQ(Play("Ann"), file + "Ann                      ");
    EXPECT_EQ(Play(""), file + "Ann                      ") << "the next start reads them";
    EXPECT_TRUE(fs::is_empty(program));
    EXPECT_EQ(fs::file_size(playerFile), 903u);
    EXPECT_EQ(fs::status(home / ".local").permissions(), fs::perms::owner_all);
}

TEST_F(Installed, AsAPackageWithScoresBesideTheProgramStartsFromThem) {
    HiScoreTable shipped;
    shipped.Record(1).Name.Assign("Shipped");
    shipped.Record(1).Moves = 3;
    WriteBytes(program / "HiScore.Dat", Encoded(shipped));
    const std::string file = playerFile.string() + "|";
    EXPECT_EQ(Play(""), file + "Shipped                  ");
    EXPECT_EQ(Play("Ann"), file + "Shipped                  ") << "7 moves do not pass 3";
    EXPECT_EQ(ReadBytes(program / "HiScore.Dat"), Encoded(shipped));
    HiScoreTable mine;
    mine.DecodeWhole(ReadBytes(playerFile));
    EXPECT_EQ(mine.Record(2).Name.Str().substr(0, 3), "Ann");
}

TEST_F(Installed, AsASharedInstallUpdatesTheSharedFileWhereItStands) {
    HiScoreTable table;
    table.Record(21).Name.Assign("Level nine");
    Bytes bytes = Encoded(table);
    bytes.insert(bytes.end(), {'t', 'a', 'i', 'l'});
    const fs::path shared = program / "HiScore.Dat";
    WriteBytes(shared, bytes);
    ASSERT_EQ(::chmod(shared.c_str(), 0666), 0);
    struct stat before {};
    ::stat(shared.c_str(), &before);

    EXPECT_EQ(Play("Ann"), shared.string() + "|Ann                      ");
    struct stat after {};
    ::stat(shared.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, 0u) << "the file stays root's";
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_mode, before.st_mode);
    HiScoreTable now;
    const Bytes written = ReadBytes(shared);
    now.DecodeWhole(written);
    EXPECT_EQ(now.Record(1).Name.Str().substr(0, 3), "Ann");
    EXPECT_EQ(now.Record(21), table.Record(21));
    EXPECT_EQ(Bytes(written.end() - 4, written.end()), (Bytes{'t', 'a', 'i', 'l'}));
    EXPECT_EQ(FolderEntries(program), std::vector<std::string>{"HiScore.Dat"});
    EXPECT_TRUE(fs::is_empty(home)) << "no player file is made";
}

} // namespace
} // namespace pylons
