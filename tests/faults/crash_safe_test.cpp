#include "storage/hiscore.h"
#include "storage/savegame.h"
#include "support/game_fixture.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstring>

extern char** environ;

namespace fs = std::filesystem;

namespace pylons {
namespace {

using testing::FolderEntries;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

enum class Ending { Whole, Killed };

// Runs the writer with the killer preloaded, killing it before its call number `at`.
Ending RunKilledAt(const std::string& mode, const fs::path& path, long at) {
    const std::string preload = std::string("LD_PRELOAD=") + PYLONS_KILL_SHIM;
    const std::string killAt = "PYLONS_KILL_AT=" + std::to_string(at);
    std::vector<std::string> env = {preload, killAt};
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "LD_PRELOAD=", 11) != 0 && std::strncmp(*e, "PYLONS_KILL", 11) != 0) {
            env.emplace_back(*e);
        }
    }
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::string program = PYLONS_WRITE_ONCE;
    std::string modeArg = mode;
    std::string pathArg = path.string();
    char* argv[] = {program.data(), modeArg.data(), pathArg.data(), nullptr};
    pid_t pid = 0;
    EXPECT_EQ(::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) {
        return Ending::Killed;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    return Ending::Whole;
}

TEST(CrashSafeWrites, AKilledScoreWriteLeavesTheOldFileOrTheNewOneAndNothingElse) {
    // The old file is longer than a table: its tail must survive in the new one.
    HiScoreTable oldTable;
    oldTable.Record(1).Name.Assign("Old and whole");
    const auto oldHead = oldTable.Encode();
    Bytes oldFile(oldHead.begin(), oldHead.end());
    oldFile.insert(oldFile.end(), {'t', 'a', 'i', 'l'});
    HiScoreTable newTable = oldTable;
    newTable.Record(1).Name.Assign("Written whole");
    newTable.Record(21).Moves = 41;
    const auto newHead = newTable.Encode();
    Bytes newFile(newHead.begin(), newHead.end());
    newFile.insert(newFile.end(), {'t', 'a', 'i', 'l'});

    int killedRuns = 0;
    for (long at = 1;; ++at) {
        SCOPED_TRACE("killed before call " + std::to_string(at));
        TempDir dir;
        const fs::path file = dir.path() / "HiScore.Dat";
        WriteBytes(file, oldFile);
        const Ending ending = RunKilledAt("scores", dir.path(), at);
        const Bytes after = ReadBytes(file);
        EXPECT_TRUE(after == oldFile || after == newFile) << "a torn file of " << after.size();
        if (ending == Ending::Whole) {
            EXPECT_EQ(after, newFile);
            EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"HiScore.Dat"});
            break;
        }
        ++killedRuns;
        // The next start of the game clears whatever the killed run left.
        EXPECT_EQ(RunKilledAt("start", dir.path(), 0), Ending::Whole);
        EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"HiScore.Dat"});
        EXPECT_TRUE(ReadBytes(file) == oldFile || ReadBytes(file) == newFile);
        ASSERT_LT(at, 200) << "the write never finished";
    }
    EXPECT_GT(killedRuns, 5) << "the killer never stopped a write";
}

TEST(CrashSafeWrites, AKilledGameSaveLeavesTheOldSaveOrTheNewOne) {
    Bytes oldSave(500, 0x55); // an older, longer file under the same name
    int killedRuns = 0;
    for (long at = 1;; ++at) {
        SCOPED_TRACE("killed before call " + std::to_string(at));
        TempDir dir;
        const fs::path file = dir.path() / "game.WIM";
        WriteBytes(file, oldSave);
        const Ending ending = RunKilledAt("game", file, at);
        const Bytes after = ReadBytes(file);
        const auto record = SaveGameRecord::Decode(after);
        const bool isNew = after.size() == 118 && record && record->Moves == 1;
        EXPECT_TRUE(after == oldSave || isNew) << "a torn file of " << after.size();
        if (ending == Ending::Whole) {
            EXPECT_TRUE(isNew);
            EXPECT_EQ(FolderEntries(dir.path()), (std::vector<std::string>{"HiScore.Dat", "game.WIM"}));
            break;
        }
        ++killedRuns;
        // Whatever a killed save left beside the file goes with the next save to it.
        WriteBytes(file, oldSave);
        EXPECT_EQ(RunKilledAt("game", file, 0), Ending::Whole);
        EXPECT_EQ(FolderEntries(dir.path()), (std::vector<std::string>{"HiScore.Dat", "game.WIM"}));
        ASSERT_LT(at, 200) << "the save never finished";
    }
    EXPECT_GT(killedRuns, 5);
}

} // namespace
} // namespace pylons
