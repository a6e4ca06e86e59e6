// Writes one file the way the game does, for the crash tests: "scores FOLDER" starts the game in
// FOLDER (reading its HiScore.Dat) and stores a changed table; "game FILE" saves a game to FILE;
// "start FOLDER" only starts the game. Writing begins after PYLONS_KILL_ARMED is set, so that a
// preloaded killer counts only the calls of the write itself.

#include "game/frm_main.h"
#include "support/fake_desktop.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fputs("usage: write_once scores|game|start PATH\n", stderr);
        return 2;
    }
    const std::string mode = argv[1];
    const std::filesystem::path path = argv[2];
    pylons::testing::FakeDesktop desktop;
    pylons::frmMain game(desktop, mode == "game" ? path.parent_path() : path);
    game.Form_Load();
    if (mode == "start") {
        return 0;
    }
    ::setenv("PYLONS_KILL_ARMED", "1", 1);
    if (mode == "scores") {
        game.HiScores.Record(1).Name.Assign("Written whole");
        game.HiScores.Record(21).Moves = 41;
        game.SaveHiScore();
    } else {
        game.Form_DragOver(3000);
        game.Form_DragDrop("picRing1");
        desktop.files.push_back(path);
        game.Save();
    }
    ::unsetenv("PYLONS_KILL_ARMED");
    return desktop.calls.size() <= 1 ? 0 : 1; // a failure message would be a second call
}
