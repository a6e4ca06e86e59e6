// The cost of one drag-move event as the player makes it: the hit test of what lies under the
// pointer, the game's drag-over, and the outline and pole buttons painted again. Each event is
// timed on its own, so that the median and the 99th percentile can be reported.

#include "ui/board_widgets.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

void DragMove(benchmark::State& state) {
    QTemporaryDir folder;
    pylons::MainWindow window(folder.filePath(QStringLiteral("HiScore.Dat")).toStdString());
    window.show();
    QApplication::processEvents();
    auto* ring = window.findChild<pylons::RingPicture*>(QStringLiteral("picRing1"));
    window.BeginDrag(*ring, QPoint(5, 5));
    QWidget* board = window.centralWidget();
    // Across the three columns and back, over the poles and the board between them.
    std::vector<QPoint> path;
    for (int x = 10; x < board->width() - 10; x += 7) {
        path.push_back(board->mapToGlobal(QPoint(x, 60 + x % 150)));
    }
    std::vector<double> micros;
    micros.reserve(1 << 20);
    std::size_t step = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        window.DragMove(path[step++ % path.size()], Qt::LeftButton);
        QApplication::processEvents(); // the repaint and its flush to the screen
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    window.CancelDrag();
    std::sort(micros.begin(), micros.end());
    const auto at = [&micros](double q) {
        return micros[std::min(micros.size() - 1,
                               static_cast<std::size_t>(q * static_cast<double>(micros.size())))];
    };
    state.counters["p50_us"] = at(0.50);
    state.counters["p99_us"] = at(0.99);
    state.counters["max_us"] = micros.back();
}
BENCHMARK(DragMove)->Iterations(20000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
