#pragma once

#include "board/ring.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace pylons {

class PaalBase;

// What a pole needs of the main window: the other poles, and the goal check after a ring has been
// placed on pole 3 or 4.
class PaalOwner {
public:
    virtual PaalBase& PaalNr(int number) = 0;
    virtual void CheckFinished(int pole, std::size_t ringCount) = 0;

protected:
    ~PaalOwner() = default;
};

// One pole and its stack of rings, bottom first.
class PaalBase {
public:
    virtual ~PaalBase() = default;
    PaalBase(const PaalBase&) = delete;
    PaalBase& operator=(const PaalBase&) = delete;

    // Writes the ring numbers of the stack, bottom first, into elements 1 to n (index 0 to n - 1
    // here); the other elements are left as they are.
    void GeefRingen(std::span<std::uint8_t> WatZitErOp) const;

    // Puts the ring on this pole if it is empty or its top ring is wider; otherwise nothing
    // changes at all.
    void AddRing(const std::shared_ptr<infRing>& Ring);

    // Takes the ring out of the stack, wherever it is; the new top ring can be picked up.
    void RemoveRing(const infRing& Ring);

    int Number() const { return number_; }
    double CentreX() const { return 590.0 + 1320.0 * (number_ - 1); }
    std::size_t Count() const { return ringen_.size(); }
    const std::vector<std::shared_ptr<infRing>>& Ringen() const { return ringen_; }

    // The Top of the picture of the ring at position k of the stack, 1 being the bottom.
    static double SlotTop(std::size_t k) { return 3720.0 - 360.0 * static_cast<double>(k - 1); }

protected:
    PaalBase(int number, PaalOwner& owner) : owner_(owner), number_(number) {}

    // Runs last in AddRing, once the ring stands in its place.
    virtual void AfterPlaced() {}

    PaalOwner& owner_;

private:
    bool PastErOp(const infRing& Ring) const;
    bool ZitErOp(const infRing& Ring) const;

    int number_;
    std::vector<std::shared_ptr<infRing>> ringen_;
};

template <int P> class clsPaalN final : public PaalBase {
    static_assert(P >= 1 && P <= 4);

public:
    explicit clsPaalN(PaalOwner& owner) : PaalBase(P, owner) {}

private:
    void AfterPlaced() override {
        if constexpr (P == 3 || P == 4) {
            owner_.CheckFinished(P, Count());
        }
    }
};

using clsPaal1 = clsPaalN<1>;
using clsPaal2 = clsPaalN<2>;
using clsPaal3 = clsPaalN<3>;
using clsPaal4 = clsPaalN<4>;

} // namespace pylons
