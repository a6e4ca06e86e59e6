#include "support/case_name.h"
#include "support/game_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include <sys/stat.h>

namespace pylons {
namespace {

using testing::Encoded;
using testing::GameFixture;
using testing::ReadBytes;
using testing::WriteBytes;

HiScoreRecord Rec(const std::string& name, const std::string& time, double moves) {
    HiScoreRecord record;
    record.Name.Assign(name);
    record.Time.Assign(time);
    record.Moves = moves;
    return record;
}

// Finishes level 3 with the given moves and clock seconds; the clock shows one second more.
void FinishLevel3(GameFixture& f, double moves, double seconds) {
    f.LoadPosition(3, {{{1}, {}, {3, 2}}}, moves - 1, seconds);
    f.Move(1, 3);
}

const HiScoreRecord kFirst = Rec("First", "0:00:20", 10);
const HiScoreRecord kSecond = Rec("Second", "0:00:10", 12);
const HiScoreRecord kThird = Rec("Third", "0:00:05", 15);

struct RankCase {
    const char* what;
    double moves;
    double seconds;
    int place; // 0: ranks nowhere
    std::array<HiScoreRecord, 3> after;
};

class Ranking : public ::testing::TestWithParam<RankCase> {};

TEST_P(Ranking, TakesTheFirstPlaceItBeatsAndShiftsTheRestDown) {
    const RankCase& c = GetParam();
    GameFixture f;
    HiScoreTable table;
    table.Record(1) = kFirst;
    table.Record(2) = kSecond;
    table.Record(3) = kThird;
    f.SetScores(table);
    const auto fileBefore = ReadBytes(f.HiScoreFile());
    f.desktop.names = {"New"};
    FinishLevel3(f, c.moves, c.seconds);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(f.game.HiScores.Record(k), c.after[static_cast<std::size_t>(k - 1)])
            << c.what << ", record " << k;
    }
    EXPECT_EQ(f.game.HiScores.Record(4), HiScoreRecord::Default()) << "other levels untouched";
    static const char* const kWords[] = {"", "FIRST", "SECOND", "THIRD"};
    const bool ranked = c.place != 0;
    EXPECT_EQ(f.desktop.calls.size(), ranked ? 4u : 2u) << c.what;
    if (ranked) {
        EXPECT_EQ(f.desktop.calls[1], std::string("MsgBox information: You score is good for ") +
                                          kWords[c.place] + " place!");
        const auto written = f.game.HiScores.Encode();
        EXPECT_EQ(ReadBytes(f.HiScoreFile()),
                  std::vector<std::uint8_t>(written.begin(), written.end()));
    } else {
        EXPECT_EQ(ReadBytes(f.HiScoreFile()), fileBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(
    HiScores, Ranking,
    ::testing::Values(
        RankCase{
            "fewer moves, twice the time", 9, 40, 1, {Rec("New", "0:00:41", 9), kFirst, kSecond}},
        RankCase{"same moves and seconds as first",
                 10,
                 20,
                 2,
                 {kFirst, Rec("New", "0:00:21", 10), kSecond}},
        RankCase{"same moves as first, a second less",
                 10,
                 19,
                 1,
                 {Rec("New", "0:00:20", 10), kFirst, kSecond}},
        RankCase{"same moves as second, fewer seconds",
                 12,
                 9,
                 2,
                 {kFirst, Rec("New", "0:00:10", 12), kSecond}},
        RankCase{"third place only", 15, 4, 3, {kFirst, kSecond, Rec("New", "0:00:05", 15)}},
        RankCase{"ranks nowhere", 15, 5, 0, {kFirst, kSecond, kThird}},
        RankCase{"more moves than all", 16, 0, 0, {kFirst, kSecond, kThird}}),
    testing::ByWhat());

TEST(HiScoreEntry, DefaultRecordsMoveDownBelowTheFirstResult) {
    GameFixture f;
    f.desktop.names = {"Ann"};
    FinishLevel3(f, 7, 12);
    EXPECT_EQ(f.game.HiScores.Record(1), Rec("Ann", "0:00:13", 7));
    EXPECT_EQ(f.game.HiScores.Record(2), HiScoreRecord::Default());
    EXPECT_EQ(f.game.HiScores.Record(3), HiScoreRecord::Default());
}

TEST(HiScoreEntry, ARecordAfterATickIsPassedByTheSameCount) {
    GameFixture f;
    f.desktop.names = {"Ann", "Bob"};
    FinishLevel3(f, 7, 12); // stored as 0:00:13
    FinishLevel3(f, 7, 12); // level 4 now; back to 3 through the load
    EXPECT_EQ(f.game.HiScores.Record(1).Name.View().substr(0, 3), "Bob");
    EXPECT_EQ(f.game.HiScores.Record(2).Name.View().substr(0, 3), "Ann");
}

struct OddRecordCase {
    const char* what;
    HiScoreRecord record;
    double moves;
    bool passes;
};

class OddRecords : public ::testing::TestWithParam<OddRecordCase> {};

TEST_P(OddRecords, RankAsTheGameDefines) {
    GameFixture f;
    HiScoreTable table;
    table.Record(1) = GetParam().record;
    f.SetScores(table);
    f.desktop.names = {"New"};
    FinishLevel3(f, GetParam().moves, 3);
    EXPECT_EQ(f.game.HiScores.Record(1).Name.View().substr(0, 3) == "New", GetParam().passes)
        << GetParam().what;
}

HiScoreRecord Cleared() {
    HiScoreRecord record;
    record.Clear();
    return record;
}

INSTANTIATE_TEST_SUITE_P(
    HiScores, OddRecords,
    ::testing::Values(OddRecordCase{"a cleared record of 0 moves", Cleared(), 7, false},
                      OddRecordCase{"a time that is no time", Rec("X", "soon", 7), 7, true},
                      OddRecordCase{"a time of code 0 characters, same moves",
                                    [] {
                                        HiScoreRecord r = Cleared();
                                        r.Moves = 7;
                                        return r;
                                    }(),
                                    7, true},
                      OddRecordCase{"moves that are no number", Rec("X", "0:00:01", NAN), 7,
                                    true}));

TEST(HiScoreEntry, NamesAreCutAtTwentyFiveAndTheLastNameIsOfferedNextTime) {
    GameFixture f;
    f.desktop.names = {"Bartholomew Featherstonehaugh-Smythe"};
    FinishLevel3(f, 7, 1);
    EXPECT_EQ(f.game.HiScores.Record(1).Name.View(), "Bartholomew Featherstoneh");
    f.LoadPosition(5, {{{1}, {}, {5, 4, 3, 2}}});
    f.Move(1, 3);
    EXPECT_EQ(f.desktop.calls[2],
              "InputBox Hiscore: You name [Bartholomew Featherstonehaugh-Smythe]");
    EXPECT_EQ(f.game.HiScores.Record(7).Name.View(), std::string(25, ' '))
        << "no name left in the script: the prompt was cancelled";
    f.LoadPosition(4, {{{1}, {}, {4, 3, 2}}});
    f.Move(1, 3);
    EXPECT_EQ(f.desktop.calls[2], "InputBox Hiscore: You name []") << "a cancel clears the default";
}

class HiScoreFile : public ::testing::Test {
protected:
    GameFixture f{false};
    HiScoreTable Numbered() const {
        HiScoreTable table;
        for (int k = 1; k <= 21; ++k) {
            table.Record(k) = Rec("P" + std::to_string(k), "0:00:0" + std::to_string(k % 10), k);
        }
        return table;
    }
    std::vector<std::uint8_t> Bytes(const HiScoreTable& table) const {
        const auto bytes = table.Encode();
        return {bytes.begin(), bytes.end()};
    }
};

TEST_F(HiScoreFile, IsReadAtStartUp) {
    WriteBytes(f.HiScoreFile(), Bytes(Numbered()));
    f.game.Form_Load();
    EXPECT_EQ(f.game.HiScores, Numbered());
    EXPECT_EQ(f.game.stbStatusBar.Panels(2).Text, "Fastest time 0:00:01   ");
}

TEST_F(HiScoreFile, AnEmptyFileIsFilledWithTheDefaults) {
    WriteBytes(f.HiScoreFile(), {});
    f.game.Form_Load();
    EXPECT_EQ(ReadBytes(f.HiScoreFile()), Bytes(HiScoreTable()));
}

TEST_F(HiScoreFile, AShortFileGivesItsWholeRecordsAndIsNotRewritten) {
    auto bytes = Bytes(Numbered());
    bytes.resize(43 + 20);
    WriteBytes(f.HiScoreFile(), bytes);
    f.game.Form_Load();
    EXPECT_EQ(f.game.HiScores.Record(1), Numbered().Record(1));
    EXPECT_EQ(f.game.HiScores.Record(2), HiScoreRecord::Default());
    EXPECT_EQ(ReadBytes(f.HiScoreFile()), bytes);
}

TEST_F(HiScoreFile, ALongerFileKeepsItsTailWhenScoresAreWritten) {
    auto bytes = Bytes(Numbered());
    bytes.insert(bytes.end(), {'t', 'a', 'i', 'l'});
    WriteBytes(f.HiScoreFile(), bytes);
    f.game.Form_Load();
    EXPECT_EQ(f.game.HiScores, Numbered());
    f.desktop.names = {"Ann"};
    FinishLevel3(f, 1, 0);
    auto expected = Bytes(f.game.HiScores);
    expected.insert(expected.end(), {'t', 'a', 'i', 'l'});
    EXPECT_EQ(ReadBytes(f.HiScoreFile()), expected);
}

TEST_F(HiScoreFile, ThatIsSparseAndHugeIsNeitherGrownNorFilledNorReplaced) {
    WriteBytes(f.HiScoreFile(), Bytes(Numbered()));
    std::filesystem::resize_file(f.HiScoreFile(), 1ull << 30);
    struct stat before {};
    ::stat(f.HiScoreFile().c_str(), &before);
    f.game.Form_Load();
    f.desktop.names = {"Ann"};
    FinishLevel3(f, 1, 0);
    struct stat after {};
    ::stat(f.HiScoreFile().c_str(), &after);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_LE(after.st_blocks, before.st_blocks + 8) << "the hole was written out";
    std::ifstream in(f.HiScoreFile(), std::ios::binary);
    std::vector<char> head(903);
    in.read(head.data(), 903);
    EXPECT_EQ(std::vector<std::uint8_t>(head.begin(), head.end()), Bytes(f.game.HiScores));
    EXPECT_EQ(f.game.HiScores.Record(1).Name.View().substr(0, 3), "Ann");
}

// Two games on one HiScore.Dat: each ranks against the file as it is when its level ends, and
// stores its result against the file as it is when it writes.
class TwoGames : public ::testing::Test {
protected:
    GameFixture a;
    GameFixture b{a.HiScoreFile()};
    std::string Names(const frmMain& game) const {
        std::string three;
        for (int k = 1; k <= 3; ++k) {
            three += game.HiScores.Record(k).Name.Str().substr(0, 3) + " ";
        }
        return three;
    }
};

TEST_F(TwoGames, TheSecondIsToldThePlaceLeftByTheFirst) {
    a.desktop.names = {"Ann"};
    b.desktop.names = {"Bob"};
    FinishLevel3(a, 7, 5); // stored as 0:00:06
    FinishLevel3(b, 7, 6);
    EXPECT_EQ(b.desktop.calls[1], "MsgBox information: You score is good for SECOND place!");
    EXPECT_EQ(Names(b.game), "Ann Bob Wim ");
    EXPECT_EQ(ReadBytes(a.HiScoreFile()), Encoded(b.game.HiScores));
}

TEST_F(TwoGames, AResultStoredWhileTheOtherAsksForItsNameIsKept) {
    a.desktop.names = {"Ann"};
    b.desktop.names = {"Bob"};
    // Bob's level ends first and he is told FIRST; while he types his name, Ann finishes faster.
    b.desktop.observer = [&](const std::string& call) {
        if (call.rfind("InputBox", 0) == 0) {
            b.desktop.observer = nullptr;
            FinishLevel3(a, 7, 1);
        }
    };
    FinishLevel3(b, 7, 5);
    EXPECT_EQ(b.desktop.calls[1], "MsgBox information: You score is good for FIRST place!");
    EXPECT_EQ(Names(a.game), "Ann Wim Wim ");
    EXPECT_EQ(Names(b.game), "Ann Bob Wim ") << "Bob's result is ranked against Ann's";
    EXPECT_EQ(ReadBytes(a.HiScoreFile()), Encoded(b.game.HiScores));
}

TEST_F(HiScoreFile, ThatCannotBeReadLeavesTheDefaultsAndStaysAsItIs) {
    std::filesystem::create_directory(f.HiScoreFile());
    f.game.Form_Load();
    EXPECT_EQ(f.game.HiScores, HiScoreTable());
    EXPECT_TRUE(std::filesystem::is_directory(f.HiScoreFile()));
}

TEST(HiScoreFolder, ThatIsNotWritableKeepsScoresForTheRunWithoutAWord) {
    GameFixture f(true, "no such folder");
    EXPECT_EQ(f.game.HiScores, HiScoreTable());
    f.desktop.names = {"Ann"};
    FinishLevel3(f, 7, 1);
    EXPECT_EQ(f.desktop.calls.back(), "MsgBox information: Good, Next Level!");
    EXPECT_EQ(f.desktop.calls.size(), 4u) << "the failed write is silent";
    EXPECT_FALSE(std::filesystem::exists(f.programDir));
    f.LoadPosition(3, {{{3, 2, 1}}});
    EXPECT_EQ(f.game.stbStatusBar.Panels(2).Text, "Fastest time 0:00:02   ");
}

} // namespace
} // namespace pylons
