#include "solver/solver.h"

#include "board/stacking.h"

#include <array>
#include <stdexcept>

namespace pylons {
namespace {

constexpr std::uint8_t kUnreached = 0xFF;

// The top ring of every pole (0: an empty pole), for a position given as a code. The number of
// poles is a constant here, so that taking the code apart costs no divisions.
template <std::uint32_t Poles> std::array<int, 4> Tops(std::uint32_t code, int rings) {
    std::array<int, 4> tops{};
    for (int ring = 1; ring <= rings; ++ring) {
        const std::size_t pole = code % Poles;
        code /= Poles;
        if (tops[pole] == 0) {
            tops[pole] = ring; // the narrowest ring of a pole is its top
        }
    }
    return tops;
}

// Every position's distance from the goal, the last code, by a breadth-first search from it.
template <std::uint32_t Poles>
void FillDistances(std::vector<std::uint8_t>& distance, int rings,
                   const std::vector<std::uint32_t>& weight) {
    const auto count = static_cast<std::uint32_t>(distance.size());
    std::vector<std::uint32_t> queue;
    queue.reserve(count);
    queue.push_back(count - 1);
    distance[count - 1] = 0;
    for (std::size_t next = 0; next < queue.size(); ++next) {
        const std::uint32_t code = queue[next];
        const std::uint8_t d = distance[code];
        if (d + 1 >= kUnreached) {
            throw std::logic_error("a distance beyond what a byte holds");
        }
        const std::array<int, 4> tops = Tops<Poles>(code, rings);
        for (std::uint32_t from = 0; from < Poles; ++from) {
            const int ring = tops[from];
            if (ring == 0) {
                continue;
            }
            const std::uint32_t step = weight[static_cast<std::size_t>(ring) - 1];
            const std::uint32_t lifted = code - step * from;
            for (std::uint32_t to = 0; to < Poles; ++to) {
                const int below = tops[to];
                if (to == from || !PastErOp(ring, below)) {
                    continue;
                }
                const std::uint32_t moved = lifted + step * to;
                if (distance[moved] == kUnreached) {
                    distance[moved] = static_cast<std::uint8_t>(d + 1);
                    queue.push_back(moved);
                }
            }
        }
    }
}

} // namespace

Solver::Solver(int rings, int poles) : rings_(rings), poles_(poles) {
    if (rings < 1 || rings > 9 || poles < 3 || poles > 4) {
        throw std::invalid_argument("no such level");
    }
    std::vector<std::uint32_t> weight(static_cast<std::size_t>(rings) + 1, 1);
    for (std::size_t r = 1; r < weight.size(); ++r) {
        weight[r] = weight[r - 1] * static_cast<std::uint32_t>(poles);
    }
    distance_.assign(weight.back(), kUnreached);
    if (poles == 3) {
        FillDistances<3>(distance_, rings, weight);
    } else {
        FillDistances<4>(distance_, rings, weight);
    }
    distance_.shrink_to_fit();
}

std::optional<std::uint32_t> Solver::Code(std::span<const std::uint8_t> ringPoles) const {
    if (ringPoles.size() != static_cast<std::size_t>(rings_)) {
        return std::nullopt;
    }
    std::uint32_t code = 0;
    for (std::size_t i = ringPoles.size(); i-- > 0;) {
        const int pole = ringPoles[i];
        if (pole < 1 || pole > poles_) {
            return std::nullopt;
        }
        code = code * static_cast<std::uint32_t>(poles_) + static_cast<std::uint32_t>(pole - 1);
    }
    return code;
}

std::optional<int> Solver::Distance(std::span<const std::uint8_t> ringPoles) const {
    const auto code = Code(ringPoles);
    if (!code) {
        return std::nullopt;
    }
    return distance_[*code];
}

std::vector<SolverMove> Solver::LegalMoves(std::span<const std::uint8_t> ringPoles, int poles) {
    std::array<int, 5> tops{}; // by pole number
    for (std::size_t i = 0; i < ringPoles.size(); ++i) {
        int& top = tops.at(ringPoles[i]);
        if (top == 0) {
            top = static_cast<int>(i) + 1;
        }
    }
    std::vector<SolverMove> moves;
    for (int from = 1; from <= poles; ++from) {
        const int ring = tops[static_cast<std::size_t>(from)];
        for (int to = 1; to <= poles && ring != 0; ++to) {
            const int below = tops[static_cast<std::size_t>(to)];
            if (to != from && PastErOp(ring, below)) {
                moves.push_back({ring, from, to});
            }
        }
    }
    return moves;
}

std::optional<SolverMove> Solver::BestMove(std::span<const std::uint8_t> ringPoles) const {
    const auto distance = Distance(ringPoles);
    if (!distance || *distance == 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> after(ringPoles.begin(), ringPoles.end());
    for (const SolverMove& move : LegalMoves(ringPoles, poles_)) {
        after[static_cast<std::size_t>(move.ring) - 1] = static_cast<std::uint8_t>(move.to);
        if (Distance(after) == *distance - 1) {
            return move;
        }
        after[static_cast<std::size_t>(move.ring) - 1] = static_cast<std::uint8_t>(move.from);
    }
    return std::nullopt; // cannot happen: a position one move nearer is always there
}

} // namespace pylons
