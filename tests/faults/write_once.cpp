// Writes the game's files the way the game does, for the fault tests, which preload a library
// that kills it or makes one of its calls fail. Faults apply only while PYLONS_FAULT_ARMED is
// set, so that they hit the write itself, not the start of the game.
//
//   write_once scores FOLDER     finishes level 3 with a new first place; afterwards (faults off)
//                                stores once more, as the next entry of the game would
//   write_once game FILE         saves a game to FILE
//   write_once start FOLDER      only starts the game
//   write_once race FOLDER NAME  plays level 3 to one move from the end, waits for a line on
//                                its input, then finishes it entering NAME
//
// The exit code says what the player was told: 0 nothing beyond the game's own messages, 3 "The
// game could not be saved.", 1 anything else. With PYLONS_SEEN set, the score file as it stood
// right after the faulted write is copied there.

#include "game/frm_main.h"
#include "support/fake_desktop.h"
#include "support/game_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

using namespace pylons;

namespace {

void Play(frmMain& game, const std::vector<std::pair<int, int>>& moves) {
    for (const auto& [from, to] : moves) {
        const std::string ring = game.PaalNr(from).Ringen().back()->RingShape().Name;
        game.Form_DragOver(static_cast<float>(game.Window.Width / 3 * (to - 0.5)));
        game.Form_DragDrop(ring);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fputs("usage: write_once scores|game|start|race PATH [NAME]\n", stderr);
        return 2;
    }
    const std::string mode = argv[1];
    const std::filesystem::path path = argv[2];
    testing::FakeDesktop desktop;
    const std::filesystem::path scores = HiScorePath(mode == "game" ? path.parent_path() : path);
    frmMain game(desktop, scores);
    game.Form_Load();
    auto moves = testing::Solve(3, 3);
    const auto last = moves.back();
    moves.pop_back();
    if (mode == "start") {
        return 0;
    }
    if (mode == "race") {
        desktop.names = {argc > 3 ? argv[3] : "?"};
        Play(game, moves);
        std::string go;
        std::getline(std::cin, go);
        Play(game, {last});
        // The table in memory, as the file should now hold it.
        const auto table = game.HiScores.Encode();
        std::fwrite(table.data(), 1, table.size(), stdout);
        return game.Level() == 4 ? 0 : 1;
    }
    if (mode == "scores") {
        desktop.names = {"Written whole"};
        Play(game, moves);
        ::setenv("PYLONS_FAULT_ARMED", "1", 1);
        Play(game, {last});
    } else {
        Play(game, {{1, 3}});
        desktop.files.push_back(path);
        ::setenv("PYLONS_FAULT_ARMED", "1", 1);
        game.Save();
    }
    ::unsetenv("PYLONS_FAULT_ARMED");
    if (const char* seen = std::getenv("PYLONS_SEEN"); seen != nullptr && mode == "scores") {
        std::error_code ec;
        std::filesystem::copy_file(scores, seen, std::filesystem::copy_options::overwrite_existing,
                                   ec);
    }
    if (mode == "scores") {
        game.SaveHiScore();
    }
    // Scores: the beep, the place, the name and the level's message. A save: the dialog.
    const std::size_t quiet = mode == "scores" ? 4 : 1;
    if (desktop.calls.size() == quiet) {
        return 0;
    }
    const bool notSaved = desktop.calls.size() == quiet + 1 &&
                          desktop.calls.back() == "MsgBox critical: The game could not be saved.";
    return notSaved ? 3 : 1;
}
