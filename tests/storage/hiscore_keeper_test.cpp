// The high-score keeping of a run: the file's records, this run's results, and what happens
// when the file cannot take them.

#include "storage/hiscore_keeper.h"
#include "support/game_fixture.h"

#include <gtest/gtest.h>

namespace pylons {
namespace {

namespace fs = std::filesystem;
using testing::Encoded;
using testing::ReadBytes;
using testing::TempDir;

HiScoreRecord Result(const char* name, double moves) {
    HiScoreRecord record;
    record.Name.Assign(name);
    record.Time.Assign("0:00:09");
    record.Moves = moves;
    return record;
}

TEST(HiScoreKeeper, GivesAMissingFileTheTableAndKeepsEveryResultInIt) {
    TempDir dir;
    const fs::path file = dir.path() / "HiScore.Dat";
    HiScoreKeeper keeper(file);
    HiScoreTable defaults;
    defaults.FillDefaults();
    EXPECT_EQ(keeper.Open(defaults), defaults);
    EXPECT_EQ(ReadBytes(file), Encoded(defaults));

    const HiScoreTable shown = keeper.Add(3, Result("Ann", 7), 8);
    EXPECT_EQ(shown.Record(1).Name.Str().substr(0, 3), "Ann");
    EXPECT_EQ(ReadBytes(file), Encoded(shown));
    EXPECT_EQ(keeper.Waiting(), 0u);
}

TEST(HiScoreKeeper, TwoRunsOnOneFileKeepBothResults) {
    TempDir dir;
    const fs::path file = dir.path() / "HiScore.Dat";
    HiScoreTable defaults;
    defaults.FillDefaults();
    HiScoreKeeper first(file);
    HiScoreKeeper second(file);
    first.Open(defaults);
    second.Open(defaults);
    first.Add(3, Result("Ann", 7), 8);
    const HiScoreTable shown = second.Add(3, Result("Bob", 7), 5);
    EXPECT_EQ(shown.Record(1).Name.Str().substr(0, 3), "Bob") << "fewer seconds first";
    EXPECT_EQ(shown.Record(2).Name.Str().substr(0, 3), "Ann") << "the other run's result";
    EXPECT_EQ(ReadBytes(file), Encoded(shown));
    EXPECT_EQ(first.Reread(), shown) << "read again, the first run sees both";
}

TEST(HiScoreKeeper, KeepsWhatTheFileCouldNotTakeAndOffersItAgain) {
    TempDir dir;
    const fs::path file = dir.path() / "HiScore.Dat";
    fs::create_directory(file); // no file can be written there, not even by root
    HiScoreTable defaults;
    defaults.FillDefaults();
    HiScoreKeeper keeper(file);
    EXPECT_EQ(keeper.Open(defaults), defaults);
    EXPECT_EQ(keeper.Add(3, Result("Ann", 7), 8).Record(1).Name.Str().substr(0, 3), "Ann");
    EXPECT_EQ(keeper.Add(4, Result("Bob", 15), 20).Record(4).Name.Str().substr(0, 3), "Bob");
    EXPECT_EQ(keeper.Waiting(), 2u) << "both results wait in memory";

    fs::remove(file);
    const HiScoreTable stored = keeper.Store();
    EXPECT_EQ(keeper.Waiting(), 0u);
    EXPECT_EQ(stored.Record(1).Name.Str().substr(0, 3), "Ann");
    EXPECT_EQ(stored.Record(4).Name.Str().substr(0, 3), "Bob");
    EXPECT_EQ(ReadBytes(file), Encoded(stored)) << "once it can, the file takes them all";
}

} // namespace
} // namespace pylons
