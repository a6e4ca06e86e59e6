// Writes the fuzzers' starting corpus: files of the shapes the game meets. For the high scores:
// the default table, tables after real play, and cut and overlong copies. For saved games: a
// save of every level at its start and in play, level 3 one move from the end, a finished
// tower, and cut and overlong copies.

#include "game/frm_main.h"
#include "storage/savegame.h"
#include "support/fake_desktop.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;
using namespace pylons;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Write(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Moves the top ring of `from` over `to`'s column and drops it.
void Drop(frmMain& game, int from, int to) {
    const auto& stack = game.PaalNr(from).Ringen();
    if (stack.empty()) {
        return;
    }
    const std::string name = stack.back()->RingShape().Name;
    game.Form_DragOver(static_cast<float>(1335 * to - 600));
    game.Form_DragDrop(name);
}

// Writes the file and its cut and overlong copies.
void WriteShapes(const fs::path& folder, const std::string& name, const Bytes& bytes,
                 std::initializer_list<std::size_t> cuts) {
    Write(folder / (name + ".bin"), bytes);
    for (const std::size_t cut : cuts) {
        if (cut < bytes.size()) {
            Write(folder / (name + "-cut" + std::to_string(cut) + ".bin"),
                  Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
        }
    }
    Bytes longer = bytes;
    longer.insert(longer.end(), 64, 0xA5);
    Write(folder / (name + "-overlong.bin"), longer);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: pylons_make_corpus FOLDER\n", stderr);
        return 2;
    }
    const fs::path out = argv[1];
    const fs::path scores = out / "hiscore";
    const fs::path saves = out / "savegame";
    const fs::path play = out / "play";
    fs::create_directories(scores);
    fs::create_directories(saves);
    fs::create_directories(play);

    testing::FakeDesktop desktop;
    frmMain game(desktop, HiScorePath(play));
    game.Form_Load();
    WriteShapes(scores, "default", Read(play / "HiScore.Dat"), {0, 1, 42, 43, 44, 500, 902});

    // Each level: a save at its start and one after a few moves.
    for (int level = 3; level <= 9; ++level) {
        game.Level(static_cast<std::uint8_t>(level));
        game.StartLevel(game.Level());
        const auto save = [&](const std::string& name) {
            desktop.files.push_back(play / "game.WIM");
            game.Save();
            WriteShapes(saves, name, Read(play / "game.WIM"), {0, 19, 20, 21, 57, 101, 117});
        };
        save("level" + std::to_string(level) + "-start");
        const int poles = level <= 5 ? 3 : 4;
        for (int i = 0; i < 5; ++i) {
            Drop(game, 1, 2 + i % (poles - 1));
            game.timElapsed_Timer();
        }
        save("level" + std::to_string(level) + "-played");
    }
    // Level 3 one move from the end, and the table that finishing it leaves.
    game.Level(3);
    game.StartLevel(3);
    desktop.names = {"Corpus \xE9"};
    const std::pair<int, int> shortest[] = {{1, 3}, {1, 2}, {3, 2}, {1, 3}, {2, 1}, {2, 3}};
    for (const auto& [from, to] : shortest) {
        Drop(game, from, to);
        game.timElapsed_Timer();
    }
    desktop.files.push_back(play / "game.WIM");
    game.Save();
    WriteShapes(saves, "level3-one-move-left", Read(play / "game.WIM"), {});
    Drop(game, 1, 3);
    WriteShapes(scores, "played", Read(play / "HiScore.Dat"), {43, 86, 129});

    // A finished tower already on its goal pole, as a game saved after the last level.
    SaveGameRecord finished;
    finished.Level = 9;
    finished.PaalRingen[3] = {9, 8, 7, 6, 5, 4, 3, 2, 1};
    finished.Moves = 41;
    finished.Elapsed = 60;
    const auto bytes = finished.Encode();
    WriteShapes(saves, "level9-finished", Bytes(bytes.begin(), bytes.end()), {});
    std::printf("corpus written to %s\n", out.c_str());
    return 0;
}
