// Feeds any bytes to the game as a saved game, through the game's own Load: the file is either
// refused with its message and the game left exactly as it was, or it sets up a sound board on
// which play goes on.

#include "fuzz/fuzz_support.h"
#include "support/fake_desktop.h"

#include <cmath>

using namespace pylons;
using fuzzing::Require;

namespace {

struct Seen {
    int level;
    double moves;
    std::vector<std::uint8_t> layout;
    std::array<std::string, 3> panels;
    double clock;
    RingPictures pictures;
    bool operator==(const Seen&) const = default;
};

Seen Look(frmMain& game) {
    Seen seen{game.Level(), game.Moves(), {}, {}, game.stbStatusBar.Panels(3).Tag, game.picRing};
    for (int p = 1; p <= 4; ++p) {
        std::array<std::uint8_t, 9> rings{};
        game.PaalNr(p).GeefRingen(rings);
        seen.layout.insert(seen.layout.end(), rings.begin(), rings.end());
    }
    for (int i = 0; i < 3; ++i) {
        seen.panels[static_cast<std::size_t>(i)] = game.stbStatusBar.Panels(i + 1).Text;
    }
    return seen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = fuzzing::Folder() / "game.WIM";
    fuzzing::WriteFile(file, std::span<const std::uint8_t>(data, size));

    testing::FakeDesktop desktop;
    frmMain game(desktop, HiScorePath(fuzzing::Folder()));
    game.Form_Load();
    // Loading into a larger level as well as into the first one.
    if (size % 2 == 1) {
        game.Level(9);
        game.StartLevel(9);
    }
    game.Form_DragOver(3000);
    game.Form_DragDrop("picRing1");
    const Seen before = Look(game);
    const auto scores = fuzzing::ReadFile(HiScorePath(fuzzing::Folder()));

    desktop.calls.clear();
    desktop.files.push_back(file);
    game.Load();
    Require(fuzzing::ReadFile(HiScorePath(fuzzing::Folder())) == scores,
            "loading never touches the high scores");
    if (desktop.calls.size() == 2) {
        Require(desktop.calls[1] == "MsgBox critical: Not A valid savegame",
                "a refused file gets its message");
        Require(Look(game) == before, "a refused file leaves the game exactly as it was");
    } else {
        Require(desktop.calls.size() == 1, "a game that loads says nothing, finishes nothing");
        fuzzing::RequireSoundBoard(game);
        Require(std::isfinite(game.Moves()) && game.Moves() >= 0, "the move count is a count");
        Require(game.stbStatusBar.Panels(1).Text.rfind("Moves ", 0) == 0, "panel 1 shows moves");
    }

    // Play goes on: every top ring tried on every pole.
    desktop.answers = {MsgResult::No};
    for (int from = 1; from <= 4; ++from) {
        for (int to = 1; to <= 4; ++to) {
            const auto& stack = game.PaalNr(from).Ringen();
            if (stack.empty() || game.Unloaded) {
                continue;
            }
            const std::string name = stack.back()->RingShape().Name;
            game.Form_DragOver(static_cast<float>(1335 * to - 600));
            game.Form_DragDrop(name);
        }
    }
    fuzzing::RequireSoundBoard(game);
    return 0;
}
