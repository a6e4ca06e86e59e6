// Feeds any bytes to the game as its HiScore.Dat: the game starts on it, shows level 3's best
// time, finishes level 3 against the records it found, and the high-score window's texts are
// made for every record.

#include "fuzz/fuzz_support.h"
#include "game/text.h"
#include "support/fake_desktop.h"

#include <cmath>

using namespace pylons;
using fuzzing::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const std::filesystem::path file = HiScorePath(fuzzing::Folder());
    fuzzing::WriteFile(file, bytes);

    testing::FakeDesktop desktop;
    desktop.names = {"Fuzz"};
    frmMain game(desktop, file);
    game.Form_Load();
    if (size > 0) {
        Require(fuzzing::ReadFile(file) == std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
                "loading a non-empty file never rewrites it");
    } else {
        Require(fuzzing::ReadFile(file).size() == HiScoreTable::kFileBytes,
                "an empty file is filled with the defaults");
    }
    Require(game.stbStatusBar.Panels(2).Text.size() == 13 + 10, "panel 2 shows all 10 characters");

    const double firstMoves = game.HiScores.Record(1).Moves;
    // Level 3, finished in the fewest moves after a few seconds.
    const int moves[][2] = {{1, 3}, {1, 2}, {3, 2}, {1, 3}, {2, 1}, {2, 3}, {1, 3}};
    for (const auto& move : moves) {
        const auto& stack = game.PaalNr(move[0]).Ringen();
        const std::string name = stack.back()->RingShape().Name;
        game.Form_DragOver(static_cast<float>(1335 * move[1] - 600));
        game.Form_DragDrop(name);
        game.timElapsed_Timer();
    }
    Require(game.Level() == 4, "finishing level 3 leads to level 4");
    Require(!game.timElapsed.Enabled, "the clock stands still after a level");
    if (std::isnan(firstMoves) || firstMoves > 7) {
        Require(game.HiScores.Record(1).Name.View().substr(0, 4) == "Fuzz",
                "a result with fewer moves takes first place");
        Require(game.HiScores.Record(1).Moves == 7, "the first place holds the result's moves");
    }

    for (int k = 1; k <= HiScoreTable::kRecords; ++k) {
        const HiScoreRecord& record = game.HiScores.Record(k);
        Require(!NumberText(record.Moves).empty(), "every record's moves can be shown");
        const double seconds = TimeTextSeconds(record.Time.View());
        Require(seconds >= 0, "a time is never negative");
    }
    return 0;
}
