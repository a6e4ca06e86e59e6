// Feeds any bytes to the game as its HiScore.Dat: the game starts on it and shows level 3's best
// time, then finishes level 3 against the records it found. The table it enters the result into
// is checked against the rules worked out here from the bytes alone, and so is the file.

#include "fuzz/fuzz_support.h"
#include "support/fake_desktop.h"

#include <algorithm>
#include <cmath>

using namespace pylons;
using fuzzing::Require;

namespace {

// The place a result of 7 moves in 0 seconds earns against a level's three records, worked out
// from the records' bytes: fewer moves pass a record, as do as many moves in fewer seconds; a
// record whose moves are not a number is passed by any result.
int ExpectedPlace(const HiScoreTable& table) {
    for (int place = 1; place <= 3; ++place) {
        const HiScoreRecord& record = table.Record(place);
        if (std::isnan(record.Moves) || 7 < record.Moves ||
            (7 == record.Moves && 0 < TimeTextSeconds(record.Time.View()))) {
            return place;
        }
    }
    return 0;
}

// Tables compared byte for byte: a record's moves may be NaN, which equals nothing.
bool Same(const HiScoreTable& a, const HiScoreTable& b) {
    return a.Encode() == b.Encode();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> input(data, data + size);
    const std::filesystem::path file = HiScorePath(fuzzing::Folder());
    fuzzing::WriteFile(file, input);

    // What the file holds: its whole records over the defaults.
    HiScoreTable found;
    found.DecodeWhole(input);

    testing::FakeDesktop desktop;
    desktop.names = {"Fuzz"};
    frmMain game(desktop, file);
    game.Form_Load();
    if (size > 0) {
        Require(fuzzing::ReadFile(file) == input, "loading a non-empty file never rewrites it");
    } else {
        const auto defaults = HiScoreTable().Encode();
        Require(fuzzing::ReadFile(file) ==
                    std::vector<std::uint8_t>(defaults.begin(), defaults.end()),
                "an empty file is filled with the defaults");
    }
    Require(Same(game.HiScores, found), "the table is the file's whole records over the defaults");
    Require(game.stbStatusBar.Panels(2).Text == "Fastest time " + found.Record(1).Time.Str(),
            "panel 2 shows level 3's first time, all 10 characters");

    // Level 3 in the fewest moves, before the clock's first tick.
    for (const auto& [from, to] :
         {std::pair{1, 3}, {1, 2}, {3, 2}, {1, 3}, {2, 1}, {2, 3}, {1, 3}}) {
        const std::string name = game.PaalNr(from).Ringen().back()->RingShape().Name;
        game.Form_DragOver(static_cast<float>(1335 * to - 600));
        game.Form_DragDrop(name);
    }
    Require(game.Level() == 4, "finishing level 3 leads to level 4");

    HiScoreTable expected = found;
    const int place = ExpectedPlace(found);
    if (place != 0) {
        for (int p = 3; p > place; --p) {
            expected.Record(p) = found.Record(p - 1);
        }
        expected.Record(place).Name.Assign("Fuzz");
        expected.Record(place).Time.Assign("0:00:00");
        expected.Record(place).Moves = 7;
    }
    Require(Same(game.HiScores, expected),
            "the result takes the place it earns, the records below move down, nothing else "
            "changes");
    Require(desktop.calls.size() == (place != 0 ? 4u : 2u),
            "a place is announced and a name asked for exactly when the result earns one");

    // The file holds the table in its first 903 bytes and keeps what lay past them.
    const auto after = fuzzing::ReadFile(file);
    const auto table = game.HiScores.Encode();
    if (place != 0 || size == 0) {
        Require(after.size() == std::max<std::size_t>(size, HiScoreTable::kFileBytes),
                "the file keeps its length, or grows to a whole table");
        Require(std::equal(table.begin(), table.end(), after.begin()),
                "the file holds the table in memory");
        Require(size <= table.size() ||
                    std::equal(input.begin() + static_cast<std::ptrdiff_t>(table.size()),
                               input.end(),
                               after.begin() + static_cast<std::ptrdiff_t>(table.size())),
                "what lay past the table stays");
    } else {
        Require(after == input, "a result that earns no place leaves the file alone");
    }
    return 0;
}
