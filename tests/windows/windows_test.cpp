// The game's files on Windows: the file operations and a level played to its high score, built
// with MinGW-w64 and run under wine by the test command.

#include "app/score_place.h"
#include "game/frm_main.h"
#include "storage/file_io.h"
#include "support/fake_desktop.h"
#include "windows/check.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <windows.h>

namespace fs = std::filesystem;
using namespace pylons;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::optional<Bytes> Becomes(const Bytes& next) {
    return next;
}

void ReadingAndUpdating(const fs::path& dir) {
    const fs::path file = dir / "HiScore.Dat";
    CHECK(ReadFileHead(file, 903).status == ReadStatus::Missing);
    CHECK(ReadFileHead(dir / "gone" / "x", 903).status == ReadStatus::Missing);
    CHECK(ReadFileHead(dir, 903).status != ReadStatus::Read);

    Bytes seen = {1};
    CHECK(UpdateFileHead(file, 903, [&](std::span<const std::uint8_t> current) {
        seen.assign(current.begin(), current.end());
        return Becomes(Bytes(903, 1));
    }));
    CHECK(seen.empty());
    CHECK(Read(file) == Bytes(903, 1));

    Bytes old(1000, 7);
    Write(file, old);
    CHECK(::CreateHardLinkW((dir / "other.Dat").c_str(), file.c_str(), nullptr) != 0);
    CHECK(UpdateFileHead(file, 903, [](auto) { return Becomes(Bytes(903, 2)); }));
    Bytes expected(903, 2);
    expected.insert(expected.end(), old.begin() + 903, old.end());
    CHECK(Read(file) == expected);
    CHECK(Read(dir / "other.Dat") == expected);
    CHECK(ReadFileHead(file, 903).bytes == Bytes(903, 2));
    CHECK(UpdateFileHead(file, 903, [](auto) { return std::optional<Bytes>(); }));
    CHECK(Read(file) == expected);
    CHECK(!UpdateFileHead(dir, 903, [](auto) { return Becomes(Bytes(903, 3)); }));

    // Another game holding the lock: the update waits, then gives up rather than hang.
    HANDLE other = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    OVERLAPPED start{};
    CHECK(::LockFileEx(other, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                       MAXDWORD, &start) != 0);
    const DWORD before = ::GetTickCount();
    CHECK(!UpdateFileHead(file, 903, [](auto) { return Becomes(Bytes(903, 4)); }));
    CHECK(::GetTickCount() - before >= 1500);
    ::CloseHandle(other);
    CHECK(Read(file) == expected);
}

void Replacing(const fs::path& dir) {
    const fs::path save = dir / "game.WIM";
    CHECK(WriteWholeFile(save, Bytes(118, 1)));
    CHECK(Read(save) == Bytes(118, 1));
    Write(save, Bytes(500, 9));
    CHECK(WriteWholeFile(save, Bytes(118, 2)));
    CHECK(Read(save) == Bytes(118, 2));
    CHECK(::CreateHardLinkW((dir / "copy.WIM").c_str(), save.c_str(), nullptr) != 0);
    CHECK(WriteWholeFile(save, Bytes(118, 3)));
    CHECK(Read(dir / "copy.WIM") == Bytes(118, 3));
    CHECK(!WriteWholeFile(dir / "gone" / "x.WIM", Bytes(118, 1)));
    CHECK(!WriteWholeFile(dir, Bytes(118, 1)));
    for (const auto& entry : fs::directory_iterator(dir)) {
        CHECK(entry.path().filename().string().rfind(".pylons-", 0) != 0);
    }
}

void Playing(const fs::path& dir) {
    const ScorePlace place = ChooseScorePlace(dir, dir / "player");
    CHECK(place.file == dir / "HiScore.Dat");
    testing::FakeDesktop desktop;
    desktop.names = {"Ann"};
    frmMain game(desktop, place.file);
    game.Form_Load();
    CHECK(Read(place.file).size() == 903);
    const int moves[][2] = {{1, 3}, {1, 2}, {3, 2}, {1, 3}, {2, 1}, {2, 3}, {1, 3}};
    for (const auto& move : moves) {
        const std::string ring = game.PaalNr(move[0]).Ringen().back()->RingShape().Name;
        game.Form_DragOver(static_cast<float>(1335 * move[1] - 600));
        game.Form_DragDrop(ring);
    }
    CHECK(game.Level() == 4);
    const auto table = game.HiScores.Encode();
    CHECK(Read(place.file) == Bytes(table.begin(), table.end()));
    CHECK(game.HiScores.Record(1).Name.View().substr(0, 3) == "Ann");

    desktop.files = {dir / "level4.WIM", dir / "level4.WIM"};
    game.Save();
    game.Level(9);
    game.StartLevel(9);
    game.Load();
    CHECK(game.Level() == 4);
    CHECK(desktop.calls.back().rfind("Open dialog", 0) == 0);

    // Scores kept in the player's folder when told to, started from the ones beside the program.
    const ScorePlace player{dir / "player" / "pylons" / "HiScore.Dat", place.file};
    PrepareScoreFile(player);
    CHECK(Read(player.file) == Read(place.file));
}

} // namespace

int main() {
    const fs::path dir =
        fs::temp_directory_path() / ("pylons-windows-" + std::to_string(::GetCurrentProcessId()));
    fs::create_directories(dir);
    for (const char* part : {"reading", "replacing", "playing"}) {
        fs::create_directories(dir / part);
    }
    ReadingAndUpdating(dir / "reading");
    Replacing(dir / "replacing");
    Playing(dir / "playing");
    std::error_code ec;
    fs::remove_all(dir, ec);
    return pylons::testing::Result();
}
