// The game's writes under faults it cannot prevent: killed at any call, any call failing with the
// errors a full disk, a broken disk, a permission or a long name give, interrupted by signals,
// writing short or nothing; two games writing one score file at once; a system without /proc.
// The writer runs in a process of its own (write_once) with fault_shim preloaded.

#include "storage/hiscore.h"
#include "storage/savegame.h"
#include "support/case_name.h"
#include "support/child.h"
#include "support/game_fixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

extern char** environ;

namespace fs = std::filesystem;

namespace pylons {
namespace {

using testing::Encoded;
using testing::FolderEntries;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

struct Ending {
    bool killed = false;
    int code = -1; // write_once: 0 quiet, 3 "could not be saved", 1 anything else
};

// Runs write_once with the shim preloaded and the given settings added to the environment.
Ending RunWriter(const std::vector<std::string>& args, const std::vector<std::string>& settings,
                 int* input = nullptr, int* output = nullptr, pid_t* started = nullptr) {
    std::vector<std::string> env = {std::string("LD_PRELOAD=") + PYLONS_FAULT_SHIM};
    env.insert(env.end(), settings.begin(), settings.end());
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "LD_PRELOAD=", 11) != 0 && std::strncmp(*e, "PYLONS_", 7) != 0) {
            env.emplace_back(*e);
        }
    }
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> argStrings = {PYLONS_WRITE_ONCE};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStrings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int in[2] = {-1, -1};
    int out[2] = {-1, -1};
    if (input != nullptr) {
        EXPECT_EQ(::pipe(in), 0);
        EXPECT_EQ(::pipe(out), 0);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
    }
    pid_t pid = 0;
    EXPECT_EQ(::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    if (input != nullptr) {
        ::close(in[0]);
        ::close(out[1]);
        *input = in[1];
        *output = out[0];
        *started = pid;
        return {};
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    Ending ending;
    ending.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    ending.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return ending;
}

std::vector<std::string> LogLines(const fs::path& log) {
    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

bool IsOurTemp(const std::string& name) {
    return std::regex_match(name, std::regex(R"(\.pylons-[0-9a-f]{12}\.tmp)"));
}

// A writer and the files it writes: the old ones before, and what a whole write leaves.
struct Writer {
    const char* what;
    std::string mode; // "scores" or "game"
    bool oldSave;     // a game saved over an older file
};

void PrintTo(const Writer& writer, std::ostream* out) {
    *out << writer.what;
}

class Files {
public:
    explicit Files(const Writer& writer) : writer_(writer) {
        if (writer.mode == "scores") {
            // A table with a tail past its 903 bytes, which every write must keep.
            HiScoreTable table;
            table.Record(2).Name.Assign("Old second");
            table.Record(2).Moves = 20;
            oldFile_ = Encoded(table);
            oldFile_.insert(oldFile_.end(), {'t', 'a', 'i', 'l'});
            HiScoreRecord result;
            result.Name.Assign("Written whole");
            result.Time.Assign("0:00:00");
            result.Moves = 7;
            table.Enter(3, result, 0);
            newFile_ = Encoded(table);
            newFile_.insert(newFile_.end(), {'t', 'a', 'i', 'l'});
        } else if (writer.oldSave) {
            oldFile_ = Bytes(500, 0x55);
        }
    }
    fs::path Target() const {
        return writer_.mode == "scores" ? dir_.path() / "HiScore.Dat" : dir_.path() / "game.WIM";
    }
    std::vector<std::string> Args() const {
        return {writer_.mode, writer_.mode == "scores" ? dir_.path().string() : Target().string()};
    }
    void Prepare() const {
        if (!oldFile_.empty()) {
            WriteBytes(Target(), oldFile_);
        }
    }
    bool IsOld(const Bytes& bytes) const { return bytes == oldFile_; }
    bool IsNew(const Bytes& bytes) const {
        if (writer_.mode == "scores") {
            return bytes == newFile_;
        }
        const auto record = SaveGameRecord::Decode(bytes);
        return bytes.size() == 118 && record && record->Moves == 1 && record->Level == 3;
    }
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> others;
        for (const std::string& name : FolderEntries(dir_.path())) {
            if (name != "HiScore.Dat" && name != "game.WIM" && name != "seen") {
                others.push_back(name);
            }
        }
        return others;
    }
    const TempDir& dir() const { return dir_; }

private:
    Writer writer_;
    TempDir dir_;
    Bytes oldFile_;
    Bytes newFile_;
};

const Writer kWriters[] = {
    {"score file", "scores", false},
    {"save over an old one", "game", true},
    {"new save", "game", false},
};

// The calls a whole write makes, counted by the shim.
long CountCalls(const Writer& writer) {
    Files files(writer);
    files.Prepare();
    const fs::path log = files.dir().path() / "log";
    const Ending ending = RunWriter(files.Args(), {"PYLONS_FAULT_LOG=" + log.string()});
    EXPECT_EQ(ending.code, 0);
    return static_cast<long>(LogLines(log).size());
}

class Killed : public ::testing::TestWithParam<Writer> {};

TEST_P(Killed, AtAnyCallLeavesTheOldFileOrTheNewOne) {
    const long calls = CountCalls(GetParam());
    ASSERT_GT(calls, 5);
    for (long at = 1; at <= calls; ++at) {
        SCOPED_TRACE("killed before call " + std::to_string(at));
        Files files(GetParam());
        files.Prepare();
        const Ending ending =
            RunWriter(files.Args(), {"PYLONS_FAULT=kill", "PYLONS_FAULT_AT=" + std::to_string(at)});
        EXPECT_TRUE(ending.killed);
        // A new save that was killed early is no file at all: its old contents, none.
        const Bytes after = ReadBytes(files.Target());
        EXPECT_TRUE(files.IsOld(after) || files.IsNew(after))
            << "a torn file of " << after.size() << " bytes";
        // Nothing but the file, or one hidden temporary file of ours that a kill between naming
        // it and renaming it leaves; nobody else's file is ever touched.
        const auto leftovers = files.Leftovers();
        EXPECT_LE(leftovers.size(), 1u);
        for (const std::string& name : leftovers) {
            EXPECT_TRUE(IsOurTemp(name)) << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Writes, Killed, ::testing::ValuesIn(kWriters), testing::ByWhat());

struct FaultCase {
    const char* what;
    const char* fault;
    bool alwaysWhole; // the writer must get through it: retry, or write the rest
};

const FaultCase kFaults[] = {
    {"a full disk", "ENOSPC", false},      {"a broken disk", "EIO", false},
    {"no permission", "EACCES", false},    {"a name too long", "ENAMETOOLONG", false},
    {"a signal", "EINTR", true},           {"a short write", "short", true},
    {"a write of nothing", "zero", false},
};

void PrintTo(const FaultCase& fault, std::ostream* out) {
    *out << fault.what;
}

class Failing : public ::testing::TestWithParam<std::tuple<Writer, FaultCase>> {};

TEST_P(Failing, AtAnyCallGivesTheDefinedAnswerAndNoTornFile) {
    const auto& [writer, fault] = GetParam();
    const long calls = CountCalls(writer);
    for (long at = 1; at <= calls; ++at) {
        SCOPED_TRACE(std::string(fault.fault) + " at call " + std::to_string(at));
        Files files(writer);
        files.Prepare();
        const fs::path seen = files.dir().path() / "seen";
        const Ending ending = RunWriter(files.Args(), {std::string("PYLONS_FAULT=") + fault.fault,
                                                       "PYLONS_FAULT_AT=" + std::to_string(at),
                                                       "PYLONS_SEEN=" + seen.string()});
        const Bytes after = ReadBytes(files.Target());
        if (writer.mode == "scores") {
            // Score files fail silently: the result waits in memory and goes in with the next
            // store, so a failure reported as success would lose it here.
            EXPECT_EQ(ending.code, 0);
            const Bytes right = ReadBytes(seen);
            EXPECT_TRUE(files.IsOld(right) || files.IsNew(right))
                << "torn right after the fault: " << right.size() << " bytes";
            if (fault.alwaysWhole) {
                EXPECT_TRUE(files.IsNew(right)) << "the writer gave up where it should go on";
            }
            EXPECT_TRUE(files.IsNew(after)) << "the result was lost";
        } else if (ending.code == 0) {
            EXPECT_TRUE(files.IsNew(after)) << "reported saved, but it is not";
        } else {
            EXPECT_EQ(ending.code, 3) << "not the defined answer";
            EXPECT_FALSE(fault.alwaysWhole) << "gave up where it should go on";
            EXPECT_TRUE(files.IsOld(after) || files.IsNew(after)) << "torn: " << after.size();
            EXPECT_EQ(fs::exists(files.Target()), writer.oldSave || files.IsNew(after));
        }
        EXPECT_EQ(files.Leftovers(), std::vector<std::string>{}) << "left behind";
    }
}

INSTANTIATE_TEST_SUITE_P(Writes, Failing,
                         ::testing::Combine(::testing::ValuesIn(kWriters),
                                            ::testing::ValuesIn(kFaults)),
                         [](const auto& row) {
                             return testing::CaseName(std::string(std::get<0>(row.param).what) +
                                                      " " + std::get<1>(row.param).what);
                         });

// The calls of one whole write, as the shim logged them.
struct CallLog {
    std::vector<std::string> lines;
    // The number of the first line at or after `from` that matches, or -1.
    long Find(const std::string& pattern, long from = 0) const {
        const std::regex re(pattern);
        for (long i = from; i < static_cast<long>(lines.size()); ++i) {
            if (std::regex_search(lines[static_cast<std::size_t>(i)], re)) {
                return i;
            }
        }
        return -1;
    }
    std::string All() const {
        std::string all;
        for (const std::string& line : lines) {
            all += line + "\n";
        }
        return all;
    }
};

CallLog LogOf(const Files& files, std::vector<std::string> settings = {}) {
    files.Prepare();
    const fs::path log = files.dir().path() / "log";
    settings.push_back("PYLONS_FAULT_LOG=" + log.string());
    EXPECT_EQ(RunWriter(files.Args(), settings).code, 0);
    CallLog calls{LogLines(log)};
    fs::remove(log);
    return calls;
}

std::string Fd(const std::string& line) {
    std::smatch match;
    std::regex_search(line, match, std::regex(R"(= (\d+)$)"));
    return match[1];
}

TEST(WriteOrder, ASaveIsFlushedBeforeItsRenameAndTheFolderAfter) {
    for (const bool noProc : {false, true}) {
        SCOPED_TRACE(noProc ? "without /proc" : "with /proc");
        Files files({"save", "game", true});
        const CallLog calls = LogOf(files, noProc ? std::vector<std::string>{"PYLONS_NO_PROC=1"}
                                                  : std::vector<std::string>{});
        const long rename = calls.Find(R"( rename .*/\.pylons-[0-9a-f]{12}\.tmp .*/game\.WIM = 0)");
        ASSERT_GE(rename, 0) << calls.All();
        // The new contents: an unnamed file where the system has them, else the hidden name.
        long created = calls.Find(R"( open [^ ]+ tmpfile .* = \d+$)");
        if (created < 0 || noProc) {
            created =
                calls.Find(R"( open .*/\.pylons-[0-9a-f]{12}\.tmp create exclusive .* = \d+$)");
        }
        ASSERT_GE(created, 0) << calls.All();
        const std::string fd = Fd(calls.lines[static_cast<std::size_t>(created)]);
        const long written = calls.Find(" pwrite " + fd + " 118 @0 = 118", created);
        const long flushed = calls.Find(" fsync " + fd + " = 0", written);
        ASSERT_GE(written, 0) << calls.All();
        ASSERT_GE(flushed, 0) << calls.All();
        EXPECT_LT(flushed, rename) << "the data must be on disk before the name shows it\n"
                                   << calls.All();
        const long folder = calls.Find(R"( open [^ ]+ directory read( cloexec)? = \d+$)", rename);
        ASSERT_GE(folder, 0) << "the folder is not opened after the rename\n" << calls.All();
        const std::string dir = Fd(calls.lines[static_cast<std::size_t>(folder)]);
        EXPECT_GE(calls.Find(" fsync " + dir + " = 0", folder), 0) << "the rename is not flushed\n"
                                                                   << calls.All();
        EXPECT_EQ(files.Leftovers(), std::vector<std::string>{});
    }
}

TEST(WriteOrder, AScoreTableIsWrittenInOneCallUnderTheLockAndFlushedBeforeTheLockGoes) {
    Files files({"scores", "scores", false});
    const CallLog calls = LogOf(files);
    const long opened = calls.Find(R"( open .*/HiScore\.Dat create write( cloexec)? = \d+$)");
    ASSERT_GE(opened, 0) << calls.All();
    const std::string fd = Fd(calls.lines[static_cast<std::size_t>(opened)]);
    const long locked = calls.Find(" lock " + fd + " 1 = 0", opened);
    const long written = calls.Find(" pwrite " + fd + " 903 @0 = 903", opened);
    const long flushed = calls.Find(" fsync " + fd + " = 0", written);
    const long closed = calls.Find(" close " + fd + " = 0", written);
    ASSERT_GE(locked, 0) << calls.All();
    ASSERT_GE(written, 0) << "not one write of 903 bytes at offset 0\n" << calls.All();
    EXPECT_LT(locked, written);
    ASSERT_GE(flushed, 0) << calls.All();
    EXPECT_LT(flushed, closed) << "the lock goes with the descriptor: flush first\n" << calls.All();
    EXPECT_EQ(calls.Find(R"( rename )"), -1) << "the table is written where it stands";
}

// The number the shim gave a logged call.
long CallNumber(const std::string& line) {
    return std::stol(line);
}

// A broken disk at the two moments that decide whether a save is on disk: closing the new file
// before its rename (a failing close may mean the data never got there) and flushing the folder
// after it. Either way the player is told that the game could not be saved; when the close
// failed the old save is still there, whole, and nothing is written in its place.
TEST(WriteOrder, ASaveIsReportedOnlyWhenTheDiskHasIt) {
    struct Moment {
        const char* what;
        bool beforeRename;
    };
    for (const Moment moment : {Moment{"closing the new file", true},
                                Moment{"flushing the folder after the rename", false}}) {
        SCOPED_TRACE(moment.what);
        Files files({"save", "game", true});
        const CallLog calls = LogOf(files);
        const long rename = calls.Find(R"( rename .*/\.pylons-[0-9a-f]{12}\.tmp .*/game\.WIM = 0)");
        ASSERT_GE(rename, 0) << calls.All();
        long fault = -1;
        if (moment.beforeRename) {
            const long created = calls.Find(R"( open [^ ]+ tmpfile .* = \d+$)");
            ASSERT_GE(created, 0) << calls.All();
            const std::string fd = Fd(calls.lines[static_cast<std::size_t>(created)]);
            fault = calls.Find(" close " + fd + " = 0", created);
            ASSERT_LT(fault, rename) << calls.All();
        } else {
            const long folder =
                calls.Find(R"( open [^ ]+ directory read( cloexec)? = \d+$)", rename);
            ASSERT_GE(folder, 0) << calls.All();
            fault = calls.Find(
                " fsync " + Fd(calls.lines[static_cast<std::size_t>(folder)]) + " = 0", folder);
        }
        ASSERT_GE(fault, 0) << calls.All();
        const long at = CallNumber(calls.lines[static_cast<std::size_t>(fault)]);

        Files again({"save", "game", true});
        again.Prepare();
        const Ending ending =
            RunWriter(again.Args(), {"PYLONS_FAULT=EIO", "PYLONS_FAULT_AT=" + std::to_string(at)});
        EXPECT_EQ(ending.code, 3) << "reported as saved";
        const Bytes after = ReadBytes(again.Target());
        if (moment.beforeRename) {
            EXPECT_TRUE(again.IsOld(after)) << "the old save did not stay whole";
        } else {
            EXPECT_TRUE(again.IsNew(after)) << "the rename itself was done";
        }
        EXPECT_EQ(again.Leftovers(), std::vector<std::string>{});
    }
}

// Every file the game opens is closed in any program it starts (the browser for its web site,
// the mail program): a descriptor left open there would hold the score file's lock for as long
// as that program runs, and every other game would do without the file.
TEST(WriteOrder, EveryFileIsOpenedSoThatStartedProgramsDoNotInheritIt) {
    for (const Writer& writer : kWriters) {
        SCOPED_TRACE(writer.what);
        Files files(writer);
        const CallLog calls = LogOf(files);
        long opens = 0;
        for (const std::string& line : calls.lines) {
            if (line.find(" open ") != std::string::npos &&
                line.find("(failed)") == std::string::npos) {
                ++opens;
                EXPECT_NE(line.find(" cloexec = "), std::string::npos) << line;
            }
        }
        EXPECT_GT(opens, 0) << calls.All();
    }
}

TEST(NoProc, SavesAndScoresWorkWhereTheSystemHasNoProc) {
    for (const Writer& writer : kWriters) {
        SCOPED_TRACE(writer.what);
        Files files(writer);
        files.Prepare();
        const Ending ending = RunWriter(files.Args(), {"PYLONS_NO_PROC=1"});
        EXPECT_EQ(ending.code, 0);
        EXPECT_TRUE(files.IsNew(ReadBytes(files.Target())));
        EXPECT_EQ(files.Leftovers(), std::vector<std::string>{});
    }
}

TEST(NoProc, ARealMountNamespaceWithAnEmptyProc) {
    if (!testing::IsRoot() || std::system("command -v unshare >/dev/null") != 0) {
        GTEST_SKIP() << "needs root and unshare";
    }
    Files files({"save", "game", true});
    files.Prepare();
    const std::string command = "unshare --mount --propagation private -- sh -c 'mount -t tmpfs "
                                "none /proc && exec \"$0\" game \"$1\"' " +
                                std::string(PYLONS_WRITE_ONCE) + " " + files.Target().string();
    const int status = std::system(command.c_str());
    if (WIFEXITED(status) && WEXITSTATUS(status) == 32) {
        GTEST_SKIP() << "cannot mount here";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(files.IsNew(ReadBytes(files.Target())));
    EXPECT_EQ(files.Leftovers(), std::vector<std::string>{});
}

// Two games finishing level 3 against one score file at the same moment, many times over.
TEST(TwoProcesses, FinishingTogetherBothKeepTheirResults) {
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TempDir dir;
        ASSERT_EQ(RunWriter({"start", dir.path().string()}, {}).code, 0);
        int input[2], output[2];
        pid_t pids[2];
        const char* names[2] = {"Ann", "Bob"};
        for (int g = 0; g < 2; ++g) {
            RunWriter({"race", dir.path().string(), names[g]}, {}, &input[g], &output[g], &pids[g]);
        }
        ::usleep(20000); // both at one move from the end
        for (int g = 0; g < 2; ++g) {
            ASSERT_EQ(::write(input[g], "go\n", 3), 3);
        }
        std::array<Bytes, 2> tables;
        for (int g = 0; g < 2; ++g) {
            ::close(input[g]);
            std::uint8_t buffer[1024];
            for (ssize_t n; (n = ::read(output[g], buffer, sizeof buffer)) > 0;) {
                tables[static_cast<std::size_t>(g)].insert(
                    tables[static_cast<std::size_t>(g)].end(), buffer, buffer + n);
            }
            ::close(output[g]);
            int status = 0;
            ::waitpid(pids[g], &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        HiScoreTable file;
        file.DecodeWhole(ReadBytes(dir.path() / "HiScore.Dat"));
        std::vector<std::string> firstTwo = {file.Record(1).Name.Str().substr(0, 3),
                                             file.Record(2).Name.Str().substr(0, 3)};
        std::sort(firstTwo.begin(), firstTwo.end());
        EXPECT_EQ(firstTwo, (std::vector<std::string>{"Ann", "Bob"}));
        // The one that wrote last holds in memory exactly what the file holds.
        EXPECT_TRUE(tables[0] == ReadBytes(dir.path() / "HiScore.Dat") ||
                    tables[1] == ReadBytes(dir.path() / "HiScore.Dat"));
    }
}

} // namespace
} // namespace pylons
