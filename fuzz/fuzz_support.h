#pragma once

// What both fuzzers share: a private folder for the files they hand the game, and the checks of
// what a player could see afterwards. A broken rule stops the run with abort(), which libFuzzer
// reports as a crash and keeps the input.

#include "game/frm_main.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <vector>

namespace pylons::fuzzing {

inline void Require(bool condition, const char* rule) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", rule);
        std::abort();
    }
}

// A folder of this process's own, under /dev/shm where there is one (no disk wear).
inline const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
        std::filesystem::path path = base / ("pylons-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

inline void WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The board as the rules keep it: every ring of the level on exactly one pole, each stack
// narrowing upwards, every picture in its slot, only top rings free.
inline void RequireSoundBoard(const frmMain& game) {
    const int level = game.Level();
    Require(level >= 3 && level <= 9, "the level is one of 3 to 9");
    std::vector<int> seen(10, 0);
    for (int p = 1; p <= 4; ++p) {
        const auto& stack = const_cast<frmMain&>(game).PaalNr(p).Ringen();
        Require(stack.empty() || p <= PolesInPlay(level), "rings stand only on poles in play");
        for (std::size_t k = 0; k < stack.size(); ++k) {
            const PictureBox& picture = stack[k]->RingShape();
            const int ring = picture.Name.back() - '0';
            Require(ring >= 1 && ring <= level, "only rings of the level are on poles");
            ++seen[static_cast<std::size_t>(ring)];
            Require(stack[k]->Paal() == p, "a ring knows its pole");
            if (k > 0) {
                Require(stack[k - 1]->RingShape().Width > picture.Width, "stacks narrow upwards");
            }
            Require(picture.Top == 3720.0 - 360.0 * static_cast<double>(k), "rings sit in slots");
            Require(picture.DragMode == (k + 1 == stack.size() ? 1 : 0), "only top rings are free");
            Require(picture.Visible, "rings in play are shown");
        }
    }
    for (int ring = 1; ring <= 9; ++ring) {
        Require(seen[static_cast<std::size_t>(ring)] == (ring <= level ? 1 : 0),
                "every ring of the level is on exactly one pole");
        Require(game.picRing[static_cast<std::size_t>(ring - 1)].Visible == (ring <= level),
                "only the level's rings are shown");
    }
}

} // namespace pylons::fuzzing
