#include "storage/file_io.h"

#include "support/game_fixture.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pylons {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::FolderEntries;
using testing::WriteBytes;

std::vector<std::uint8_t> Filled(std::size_t size, std::uint8_t value) {
    return std::vector<std::uint8_t>(size, value);
}

class ReplacingAFile : public ::testing::Test {
protected:
    TempDir dir;
    fs::path file = dir.path() / "HiScore.Dat";
};

TEST_F(ReplacingAFile, CreatesANewFileAndLeavesNothingElse) {
    ASSERT_TRUE(ReplaceFile(file, Filled(903, 1), OldTail::Keep));
    EXPECT_EQ(ReadBytes(file), Filled(903, 1));
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"HiScore.Dat"});
    const auto perms = fs::status(file).permissions();
    EXPECT_NE(perms & fs::perms::owner_read, fs::perms::none) << "not left private like a temp";
    EXPECT_NE(perms & fs::perms::others_read, fs::perms::none);
}

TEST_F(ReplacingAFile, KeepsOrDropsTheTailOfALongerFile) {
    auto old = Filled(1000, 7);
    old[999] = 9;
    WriteBytes(file, old);
    ASSERT_TRUE(ReplaceFile(file, Filled(903, 1), OldTail::Keep));
    auto expected = Filled(903, 1);
    expected.insert(expected.end(), old.begin() + 903, old.end());
    EXPECT_EQ(ReadBytes(file), expected);

    ASSERT_TRUE(ReplaceFile(file, Filled(118, 2), OldTail::Drop));
    EXPECT_EQ(ReadBytes(file), Filled(118, 2));
}

TEST_F(ReplacingAFile, KeepsTheFilesPermissions) {
    WriteBytes(file, Filled(10, 0));
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(ReplaceFile(file, Filled(903, 1), OldTail::Keep));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(ReplacingAFile, FollowsASymbolicLinkAndKeepsIt) {
    const fs::path real = dir.path() / "real.WIM";
    const fs::path link = dir.path() / "link.WIM";
    WriteBytes(real, Filled(5, 5));
    fs::create_symlink(real, link);
    ASSERT_TRUE(ReplaceFile(link, Filled(118, 3), OldTail::Drop));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(real), Filled(118, 3));
}

TEST_F(ReplacingAFile, FailsWithoutHarmWhereItCannotWrite) {
    EXPECT_FALSE(ReplaceFile(dir.path() / "gone" / "x.WIM", Filled(118, 1), OldTail::Drop));

    fs::create_directory(file);
    EXPECT_FALSE(ReplaceFile(file, Filled(903, 1), OldTail::Keep));
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"HiScore.Dat"});
}

TEST_F(ReplacingAFile, LeavesAReadOnlyFileAlone) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may write any file";
    }
    WriteBytes(file, Filled(903, 4));
    fs::permissions(file, fs::perms::owner_read);
    EXPECT_FALSE(ReplaceFile(file, Filled(903, 1), OldTail::Keep));
    EXPECT_EQ(ReadBytes(file), Filled(903, 4));
}

TEST_F(ReplacingAFile, ClearsWhatAKilledWriterLeftButNotWhatALiveOneWrites) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0); // a process that is gone
    const std::string dead = ".HiScore.Dat." + std::to_string(child) + ".tmp";
    const std::string live = ".HiScore.Dat." + std::to_string(::getppid()) + ".tmp";
    for (const std::string& name :
         {dead, live, std::string(".HiScore.Dat.x.tmp"), std::string("other.tmp")}) {
        WriteBytes(dir.path() / name, Filled(3, 3));
    }
    ASSERT_TRUE(ReplaceFile(file, Filled(903, 1), OldTail::Keep));
    std::vector<std::string> kept = {".HiScore.Dat.x.tmp", live, "HiScore.Dat", "other.tmp"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(FolderEntries(dir.path()), kept);
}

TEST(ReadingAFile, GivesAtMostTheBytesAskedForAndNothingForWhatIsNoFile) {
    TempDir dir;
    const fs::path file = dir.path() / "a";
    WriteBytes(file, Filled(50, 6));
    EXPECT_EQ(ReadFilePrefix(file, 903), Filled(50, 6));
    EXPECT_EQ(ReadFilePrefix(file, 20), Filled(20, 6));
    EXPECT_EQ(FileLength(file), 50u);
    EXPECT_FALSE(ReadFilePrefix(dir.path() / "missing", 10));
    EXPECT_FALSE(FileLength(dir.path() / "missing"));
    EXPECT_FALSE(ReadFilePrefix(dir.path(), 10));
    EXPECT_FALSE(FileLength(dir.path()));
}

} // namespace
} // namespace pylons
