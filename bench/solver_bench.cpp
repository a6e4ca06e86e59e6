// The cost of a hint at level 9, the largest: the first one of a level builds the solver's table
// of distances (cold), later ones only look it up (warm). Both go through the game's own Hint.

#include "game/frm_main.h"
#include "support/fake_desktop.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

namespace {

const std::filesystem::path kNoScores = "/nonexistent/HiScore.Dat"; // no file is touched

void FirstHintAtLevel9(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        pylons::testing::FakeDesktop desktop;
        pylons::frmMain game(desktop, kNoScores);
        game.Level(9);
        game.StartLevel(9);
        state.ResumeTiming();
        game.mnuHint_Click();
        benchmark::DoNotOptimize(game.ShownHint);
    }
    pylons::Solver solver(9, 4);
    state.counters["kept_KiB"] = static_cast<double>(solver.BytesKept()) / 1024.0;
}
BENCHMARK(FirstHintAtLevel9)->Unit(benchmark::kMillisecond)->Iterations(50);

void LaterHintAtLevel9(benchmark::State& state) {
    pylons::testing::FakeDesktop desktop;
    pylons::frmMain game(desktop, kNoScores);
    game.Level(9);
    game.StartLevel(9);
    game.mnuHint_Click();
    std::mt19937 random(9);
    for (auto _ : state) {
        // A hint after every move, as a player asking all the way through would.
        state.PauseTiming();
        std::uniform_int_distribution<int> pole(1, 4);
        const int from = pole(random);
        if (!game.PaalNr(from).Ringen().empty()) {
            game.Form_DragOver(game.ColumnCentre(pole(random)));
            game.Form_DragDrop(game.PaalNr(from).Ringen().back()->RingShape().Name);
        }
        state.ResumeTiming();
        game.mnuHint_Click();
        benchmark::DoNotOptimize(game.ShownHint);
    }
}
BENCHMARK(LaterHintAtLevel9)->Unit(benchmark::kMicrosecond)->Iterations(2000);

} // namespace

BENCHMARK_MAIN();
