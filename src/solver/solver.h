#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pylons {

// One move of a ring: ring 1 is the narrowest; poles are numbered from 1.
struct SolverMove {
    int ring;
    int from;
    int to;
    friend bool operator==(const SolverMove&, const SolverMove&) = default;
};

// The shortest ways to the goal from every position of one level: `rings` rings (1 to 9) on
// `poles` poles (3 or 4), the goal being all of them on the last pole. A position says on which
// pole each ring stands (ring n at index n - 1); since a pole's rings always narrow upwards, that
// is all there is to know, and every such list is a position that play can reach.
//
// The distances of all positions are worked out once, by a breadth-first search backwards from
// the goal (a move can always be made back, so the search may follow moves either way): at most
// 4^9 = 262,144 positions, one byte each.
class Solver {
public:
    Solver(int rings, int poles);

    int Rings() const { return rings_; }
    int Poles() const { return poles_; }

    // The fewest moves from the position to the goal; nothing for a list that is no position of
    // this level (wrong length, a pole out of range).
    std::optional<int> Distance(std::span<const std::uint8_t> ringPoles) const;
    // The first move of a shortest way to the goal; nothing at the goal or for no position.
    std::optional<SolverMove> BestMove(std::span<const std::uint8_t> ringPoles) const;
    // Every move the rules allow from a position: the top ring of a pole onto an empty pole or
    // a wider ring.
    static std::vector<SolverMove> LegalMoves(std::span<const std::uint8_t> ringPoles, int poles);

    std::size_t BytesKept() const { return distance_.capacity() + sizeof(*this); }

private:
    std::optional<std::uint32_t> Code(std::span<const std::uint8_t> ringPoles) const;

    int rings_;
    int poles_;
    std::vector<std::uint8_t> distance_; // by position code: sum of (pole - 1) * poles^(ring - 1)
};

} // namespace pylons
