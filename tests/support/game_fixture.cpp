#include "support/game_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <stdexcept>

namespace fs = std::filesystem;

namespace pylons::testing {

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "pylons-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> Encoded(const HiScoreTable& table) {
    const auto bytes = table.Encode();
    return {bytes.begin(), bytes.end()};
}

std::vector<std::string> FolderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Layout LayoutOf(const frmMain& game) {
    Layout layout;
    const std::array<const PaalBase*, 4> poles = {game.Paal1.get(), game.Paal2.get(),
                                                  game.Paal3.get(), game.Paal4.get()};
    for (std::size_t p = 0; p < 4; ++p) {
        std::array<std::uint8_t, 9> rings{};
        poles[p]->GeefRingen(rings);
        for (const std::uint8_t ring : rings) {
            if (ring != 0) {
                layout[p].push_back(ring);
            }
        }
    }
    return layout;
}

GameFixture::GameFixture(bool load, const std::string& programSubfolder)
    : programDir(programSubfolder.empty() ? dir.path() : dir.path() / programSubfolder),
      scoreFile(HiScorePath(programDir)), game(desktop, scoreFile) {
    game.Screen = {1024 * 15, 768 * 15};
    game.Window.Height = 4575 + 600;
    if (load) {
        game.Form_Load();
    }
}

GameFixture::GameFixture(const std::filesystem::path& sharedScoreFile)
    : programDir(dir.path()), scoreFile(sharedScoreFile), game(desktop, scoreFile) {
    game.Screen = {1024 * 15, 768 * 15};
    game.Window.Height = 4575 + 600;
    game.Form_Load();
}

void GameFixture::SetScores(const HiScoreTable& table) {
    const auto bytes = table.Encode();
    WriteBytes(HiScoreFile(), {bytes.begin(), bytes.end()});
    game.LaadHiScore();
}

float ColumnCentre(const frmMain& game, int pole) {
    return game.ColumnCentre(pole);
}

void GameFixture::Move(int from, int to) {
    const auto& stack = game.PaalNr(from).Ringen();
    if (stack.empty()) {
        throw std::logic_error("no ring on pole " + std::to_string(from));
    }
    const std::string name = stack.back()->RingShape().Name;
    game.Form_DragOver(ColumnCentre(game, to));
    game.Form_DragDrop(name);
}

void GameFixture::Moves(const std::vector<std::pair<int, int>>& moves) {
    for (const auto& [from, to] : moves) {
        Move(from, to);
    }
}

SaveGameRecord RecordOf(int level, const Layout& layout, double moves, double elapsed) {
    SaveGameRecord record;
    record.Level = static_cast<std::uint8_t>(level);
    for (std::size_t p = 0; p < 4; ++p) {
        for (std::size_t i = 0; i < layout[p].size(); ++i) {
            record.PaalRingen[p].at(i) = static_cast<std::uint8_t>(layout[p][i]);
        }
    }
    record.Moves = moves;
    record.Elapsed = elapsed;
    return record;
}

void GameFixture::LoadPosition(int level, const Layout& layout, double moves, double elapsed) {
    const fs::path file = dir.path() / "position.WIM";
    const auto bytes = RecordOf(level, layout, moves, elapsed).Encode();
    WriteBytes(file, {bytes.begin(), bytes.end()});
    desktop.files.push_back(file);
    game.Load();
    desktop.calls.clear();
}

namespace {

// Moves of the n top rings from `from` to `to` over the spare poles; with two spares the tower
// is split where that gives the fewest moves.
void SolveInto(int n, int from, int to, std::vector<int> spares,
               std::vector<std::pair<int, int>>& moves) {
    if (n == 0) {
        return;
    }
    if (n == 1) {
        moves.emplace_back(from, to);
        return;
    }
    if (spares.size() == 1) {
        SolveInto(n - 1, from, spares[0], {to}, moves);
        moves.emplace_back(from, to);
        SolveInto(n - 1, spares[0], to, {from}, moves);
        return;
    }
    std::function<long(int, int)> count = [&](int rings, int pegs) -> long {
        if (rings <= 1) {
            return rings;
        }
        if (pegs == 3) {
            return (1L << rings) - 1;
        }
        long best = -1;
        for (int k = 1; k < rings; ++k) {
            const long c = 2 * count(k, pegs) + count(rings - k, pegs - 1);
            if (best < 0 || c < best) {
                best = c;
            }
        }
        return best;
    };
    int bestK = 1;
    for (int k = 1; k < n; ++k) {
        if (2 * count(k, 4) + count(n - k, 3) < 2 * count(bestK, 4) + count(n - bestK, 3)) {
            bestK = k;
        }
    }
    const int parking = spares[0];
    SolveInto(bestK, from, parking, {spares[1], to}, moves);
    SolveInto(n - bestK, from, to, {spares[1]}, moves);
    SolveInto(bestK, parking, to, {from, spares[1]}, moves);
}

} // namespace

std::vector<std::pair<int, int>> Solve(int rings, int poles) {
    std::vector<std::pair<int, int>> moves;
    std::vector<int> spares;
    for (int p = 2; p < poles; ++p) {
        spares.push_back(p);
    }
    SolveInto(rings, 1, poles, spares, moves);
    return moves;
}

Snapshot::Snapshot(const frmMain& game)
    : level(game.Level()), moves(game.Moves()), layout(LayoutOf(game)), pictures(game.picRing),
      clock(game.stbStatusBar.Panels(3).Tag), timer(game.timElapsed.Enabled),
      caption(game.Window.Caption), width(game.Window.Width), left(game.Window.Left),
      top(game.Window.Top) {
    for (int p = 1; p <= 4; ++p) {
        options[static_cast<std::size_t>(p - 1)] = game.optPaal[p].Value;
        optionsVisible[static_cast<std::size_t>(p - 1)] = game.optPaal[p].Visible;
        shapes[static_cast<std::size_t>(p - 1)] =
            game.shpPaal[static_cast<std::size_t>(p - 1)].Visible;
    }
    for (int i = 1; i <= 3; ++i) {
        panels[static_cast<std::size_t>(i - 1)] = game.stbStatusBar.Panels(i).Text;
    }
    const auto bytes = game.HiScores.Encode();
    hiscores.assign(bytes.begin(), bytes.end());
}

std::ostream& operator<<(std::ostream& out, const Snapshot& s) {
    out << "level " << s.level << ", moves " << s.moves << ", poles";
    for (const auto& pole : s.layout) {
        out << " {";
        for (const int ring : pole) {
            out << ring << ' ';
        }
        out << '}';
    }
    out << ", panels '" << s.panels[0] << "' '" << s.panels[1] << "' '" << s.panels[2]
        << "', clock " << s.clock << (s.timer ? " running" : " stopped") << ", '" << s.caption
        << "' " << s.width;
    for (const PictureBox& picture : s.pictures) {
        out << "\n  " << picture.Name << " at " << picture.Left << ", " << picture.Top << " drag "
            << picture.DragMode << (picture.Visible ? " shown" : " hidden");
    }
    return out;
}

} // namespace pylons::testing
