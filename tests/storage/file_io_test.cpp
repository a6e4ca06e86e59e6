#include "storage/file_io.h"

#include "support/case_name.h"
#include "support/child.h"
#include "support/game_fixture.h"
#include "support/odd_files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>

namespace fs = std::filesystem;

namespace pylons {
namespace {

using namespace std::chrono_literals;
using testing::FolderEntries;
using testing::ReadBytes;
using testing::RunInChild;
using testing::TempDir;
using testing::UmaskFor;
using testing::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

Bytes Filled(std::size_t size, std::uint8_t value) {
    return Bytes(size, value);
}

struct stat StatOf(const fs::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info;
}

unsigned ModeOf(const fs::path& path) {
    return StatOf(path).st_mode & 07777;
}

class WhatIsNoFile : public ::testing::TestWithParam<testing::OddFile> {
protected:
    TempDir dir;
    fs::path path = dir.path() / "HiScore.Dat";
    void SetUp() override { GetParam().make(path); }
};

TEST_P(WhatIsNoFile, IsAnsweredAtOnceAndLeftAlone) {
    const auto answer = RunInChild(
        [&] {
            std::string seen;
            seen += ReadFileHead(path, 903).status == ReadStatus::NotAFile ? "not a file" : "read";
            bool changed = false;
            const bool updated = UpdateFileHead(path, 903, [&](auto) {
                changed = true;
                return Bytes(903, 1);
            });
            seen += updated || changed ? ", updated" : ", refused";
            seen += WriteWholeFile(path, Filled(118, 2)) ? ", replaced" : ", refused";
            return seen;
        },
        1s);
    ASSERT_TRUE(answer) << "no answer within a second: the game would hang";
    // A folder opened for reading is seen and named for what it is; so is every other kind.
    EXPECT_EQ(*answer, "not a file, refused, refused");
    EXPECT_TRUE(testing::IsStillOdd(path)) << "it is still what it was";
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"HiScore.Dat"});
}

INSTANTIATE_TEST_SUITE_P(FileIo, WhatIsNoFile, ::testing::ValuesIn(testing::kOddFiles),
                         testing::ByWhat());

struct HeadCase {
    const char* what;
    std::function<fs::path(const fs::path& dir)> make; // returns the name to read
    ReadStatus status;
    Bytes bytes;
};

class ReadingTheStart : public ::testing::TestWithParam<HeadCase> {};

TEST_P(ReadingTheStart, GivesWhatStandsThere) {
    TempDir dir;
    const fs::path path = GetParam().make(dir.path());
    const FileHead head = ReadFileHead(path, 903);
    EXPECT_EQ(head.status, GetParam().status);
    EXPECT_EQ(head.bytes, GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    FileIo, ReadingTheStart,
    ::testing::Values(
        HeadCase{"nothing", [](const fs::path& d) { return d / "x"; }, ReadStatus::Missing, {}},
        HeadCase{"a missing folder",
                 [](const fs::path& d) { return d / "gone" / "x"; },
                 ReadStatus::Missing,
                 {}},
        HeadCase{"an empty file",
                 [](const fs::path& d) {
                     WriteBytes(d / "x", {});
                     return d / "x";
                 },
                 ReadStatus::Read,
                 {}},
        HeadCase{"a short file",
                 [](const fs::path& d) {
                     WriteBytes(d / "x", Filled(50, 6));
                     return d / "x";
                 },
                 ReadStatus::Read, Filled(50, 6)},
        HeadCase{"a longer file",
                 [](const fs::path& d) {
                     WriteBytes(d / "x", Filled(1000, 7));
                     return d / "x";
                 },
                 ReadStatus::Read, Filled(903, 7)},
        HeadCase{"a link to a file",
                 [](const fs::path& d) {
                     WriteBytes(d / "real", Filled(20, 8));
                     fs::create_symlink(d / "real", d / "x");
                     return d / "x";
                 },
                 ReadStatus::Read, Filled(20, 8)}),
    testing::ByWhat());

class UpdatingTheStart : public ::testing::Test {
protected:
    TempDir dir;
    fs::path file = dir.path() / "HiScore.Dat";

    bool Update(const Bytes& next, Bytes* seen = nullptr) {
        return UpdateFileHead(file, 903, [&](std::span<const std::uint8_t> current) {
            if (seen != nullptr) {
                seen->assign(current.begin(), current.end());
            }
            return std::optional<Bytes>(next);
        });
    }
};

TEST_F(UpdatingTheStart, CreatesAMissingFileWithTheModeTheUmaskGives) {
    for (const auto& [mask, mode] : {std::pair{022u, 0644u}, {077u, 0600u}, {002u, 0664u}}) {
        SCOPED_TRACE(mask);
        fs::remove(file);
        UmaskFor umask(mask);
        Bytes seen = {1};
        ASSERT_TRUE(Update(Filled(903, 1), &seen));
        EXPECT_TRUE(seen.empty()) << "a new file starts empty";
        EXPECT_EQ(ReadBytes(file), Filled(903, 1));
        EXPECT_EQ(ModeOf(file), mode);
    }
}

TEST_F(UpdatingTheStart, WritesWhereTheFileStandsAndKeepsEverythingElse) {
    auto old = Filled(1000, 7);
    old[999] = 9;
    WriteBytes(file, old);
    ::chmod(file.c_str(), 0640);
    fs::create_hard_link(file, dir.path() / "other name");
    const struct stat before = StatOf(file);

    Bytes seen;
    ASSERT_TRUE(Update(Filled(903, 1), &seen));
    EXPECT_EQ(seen, Filled(903, 7)) << "the change is made from the file as it is";
    auto expected = Filled(903, 1);
    expected.insert(expected.end(), old.begin() + 903, old.end());
    EXPECT_EQ(ReadBytes(file), expected);
    EXPECT_EQ(ReadBytes(dir.path() / "other name"), expected) << "the other link sees it";
    const struct stat after = StatOf(file);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(FolderEntries(dir.path()), (std::vector<std::string>{"HiScore.Dat", "other name"}));
}

TEST_F(UpdatingTheStart, NeitherGrowsNorFillsASparseFile) {
    WriteBytes(file, Filled(903, 7));
    fs::resize_file(file, 1ull << 30); // a gigabyte with nothing on disk past the first block
    const struct stat before = StatOf(file);
    ASSERT_LT(before.st_blocks, 64) << "the file system keeps no holes";
    ASSERT_TRUE(Update(Filled(903, 1)));
    const struct stat after = StatOf(file);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_LE(after.st_blocks, before.st_blocks + 8) << "the hole was written out";
}

TEST_F(UpdatingTheStart, LeavesTheFileAsItIsWhenTheChangeWantsNothing) {
    WriteBytes(file, Filled(50, 3));
    const auto mtime = fs::last_write_time(file);
    EXPECT_TRUE(UpdateFileHead(file, 903, [](auto) { return std::optional<Bytes>(); }));
    EXPECT_TRUE(UpdateFileHead(file, 903, [](auto) { return std::optional<Bytes>(Filled(50, 3)); }))
        << "the same bytes again";
    EXPECT_EQ(ReadBytes(file), Filled(50, 3));
    EXPECT_EQ(fs::last_write_time(file), mtime);
}

// Another game holding the file's lock, as it does for the moment of its own write.
class HeldLock {
public:
    HeldLock(const fs::path& file, short type) : fd_(::open(file.c_str(), O_RDWR)) {
        struct flock lock {};
        lock.l_type = type;
        lock.l_whence = SEEK_SET;
        held_ = ::fcntl(fd_, F_OFD_SETLK, &lock) == 0;
    }
    ~HeldLock() { ::close(fd_); }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;
    bool held() const { return held_; }

private:
    int fd_;
    bool held_ = false;
};

TEST_F(UpdatingTheStart, WaitsForAnotherWritersLockAndGivesUpRatherThanHang) {
    WriteBytes(file, Filled(903, 7));
    {
        HeldLock other(file, F_WRLCK);
        ASSERT_TRUE(other.held());
        const auto start = std::chrono::steady_clock::now();
        bool called = false;
        EXPECT_FALSE(UpdateFileHead(file, 903, [&](auto) {
            called = true;
            return std::optional<Bytes>(Filled(903, 1));
        }));
        EXPECT_EQ(ReadFileHead(file, 903).status, ReadStatus::Failed) << "nor is it read half";
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_FALSE(called);
        EXPECT_GE(waited, 3s) << "both waited for the lock";
        EXPECT_LT(waited, 8s);
        EXPECT_EQ(ReadBytes(file), Filled(903, 7));
    }
    {
        HeldLock reader(file, F_RDLCK);
        EXPECT_EQ(ReadFileHead(file, 903).bytes, Filled(903, 7)) << "readers share the file";
    }
    EXPECT_TRUE(Update(Filled(903, 1))) << "once the lock is free";
    EXPECT_EQ(ReadBytes(file), Filled(903, 1));
}

class WritingAWholeFile : public ::testing::Test {
protected:
    TempDir dir;
    fs::path file = dir.path() / "game.WIM";
};

TEST_F(WritingAWholeFile, GivesANewFileTheModeTheUmaskGivesAndLeavesNothingElse) {
    for (const auto& [mask, mode] : {std::pair{022u, 0644u}, {077u, 0600u}, {002u, 0664u}}) {
        SCOPED_TRACE(mask);
        fs::remove(file);
        UmaskFor umask(mask);
        ASSERT_TRUE(WriteWholeFile(file, Filled(118, 1)));
        EXPECT_EQ(ReadBytes(file), Filled(118, 1));
        EXPECT_EQ(ModeOf(file), mode);
        EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"game.WIM"});
    }
}

TEST_F(WritingAWholeFile, KeepsTheOldPermissionBitsButNeverSetIdOrStickyBits) {
    WriteBytes(file, Filled(10, 0));
    ASSERT_EQ(::chmod(file.c_str(), 07640), 0);
    ASSERT_TRUE(WriteWholeFile(file, Filled(118, 1)));
    EXPECT_EQ(ModeOf(file), 0640u);
}

TEST_F(WritingAWholeFile, LeavesExactlyTheNewContentsOverALongerFile) {
    WriteBytes(file, Filled(1000, 7));
    ASSERT_TRUE(WriteWholeFile(file, Filled(118, 2)));
    EXPECT_EQ(ReadBytes(file), Filled(118, 2));
}

TEST_F(WritingAWholeFile, FollowsASymbolicLinkAndKeepsIt) {
    const fs::path real = dir.path() / "real.WIM";
    WriteBytes(real, Filled(5, 5));
    fs::create_symlink("real.WIM", file);
    ASSERT_TRUE(WriteWholeFile(file, Filled(118, 3)));
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(ReadBytes(real), Filled(118, 3));
    EXPECT_EQ(FolderEntries(dir.path()), (std::vector<std::string>{"game.WIM", "real.WIM"}));
}

TEST_F(WritingAWholeFile, KeepsTheInodeOfAFileWithOtherLinks) {
    WriteBytes(file, Filled(200, 5));
    fs::create_hard_link(file, dir.path() / "copy.WIM");
    const auto inode = StatOf(file).st_ino;
    ASSERT_TRUE(WriteWholeFile(file, Filled(118, 3)));
    EXPECT_EQ(StatOf(file).st_ino, inode);
    EXPECT_EQ(ReadBytes(dir.path() / "copy.WIM"), Filled(118, 3));
}

TEST_F(WritingAWholeFile, TakesNamesUpToTheSystemsLimit) {
    for (const std::size_t length : {254u, 255u}) {
        const fs::path longName = dir.path() / (std::string(length - 4, 'g') + ".WIM");
        ASSERT_TRUE(WriteWholeFile(longName, Filled(118, 1))) << length << " characters, new";
        ASSERT_TRUE(WriteWholeFile(longName, Filled(118, 2))) << length << " characters, again";
        EXPECT_EQ(ReadBytes(longName), Filled(118, 2));
        fs::remove(longName);
    }
    EXPECT_TRUE(fs::is_empty(dir.path())) << "no temporary file left";
}

TEST_F(WritingAWholeFile, FailsWithoutHarmInAFolderThatIsGone) {
    EXPECT_FALSE(WriteWholeFile(dir.path() / "gone" / "x.WIM", Filled(118, 1)));
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

// Permissions bind only ordinary users; the test command runs these again as one.
class HostileFiles : public ::testing::Test {
protected:
    void SetUp() override {
        if (testing::IsRoot()) {
            GTEST_SKIP() << "permissions do not bind root";
        }
    }
    TempDir dir;
    fs::path file = dir.path() / "game.WIM";
};

TEST_F(HostileFiles, ASaveInAFolderThatCannotTakeANewFileIsWrittenWhereItStands) {
    WriteBytes(file, Filled(300, 5));
    const auto inode = StatOf(file).st_ino;
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    ASSERT_TRUE(WriteWholeFile(file, Filled(118, 3)));
    EXPECT_EQ(ReadBytes(file), Filled(118, 3));
    EXPECT_EQ(StatOf(file).st_ino, inode);
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"game.WIM"});
}

TEST_F(HostileFiles, AReadOnlyFileIsLeftAlone) {
    WriteBytes(file, Filled(903, 4));
    fs::permissions(file, fs::perms::owner_read);
    EXPECT_FALSE(WriteWholeFile(file, Filled(118, 1)));
    EXPECT_FALSE(
        UpdateFileHead(file, 903, [](auto) { return std::optional<Bytes>(Filled(9, 1)); }));
    EXPECT_EQ(ReadBytes(file), Filled(903, 4));
    EXPECT_EQ(ReadFileHead(file, 903).bytes, Filled(903, 4)) << "yet it can be read";
}

TEST_F(HostileFiles, AFileThatMayNotBeReadIsAFailureNotAMissingFile) {
    WriteBytes(file, Filled(903, 4));
    fs::permissions(file, fs::perms::none);
    EXPECT_EQ(ReadFileHead(file, 903).status, ReadStatus::Failed);
}

} // namespace
} // namespace pylons
