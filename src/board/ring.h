#pragma once

#include "board/picture_box.h"

#include <cstdint>
#include <string>

namespace pylons {

// How a pole uses a ring.
class infRing {
public:
    virtual ~infRing() = default;
    virtual void Paal(std::uint8_t Waarde) = 0; // the pole the ring sits on, 0 before it is placed
    virtual std::uint8_t Paal() const = 0;
    virtual void StaatVast() = 0; // fix the ring: it can no longer be picked up
    virtual PictureBox& RingShape() const = 0;

protected:
    infRing() = default;
    infRing(const infRing&) = default;
    infRing& operator=(const infRing&) = default;
};

// Ring N (1 = narrowest, 9 = widest) is drawn by picture N. The nine ring classes differ only in
// the picture they bind; the picture belongs to the main window and outlives the ring object.
template <int N> class clsRingN final : public infRing {
    static_assert(N >= 1 && N <= 9);

public:
    explicit clsRingN(RingPictures& pictures) : picture_(pictures[N - 1]) {}

    const std::string& ID() const { return picture_.Name; }
    PictureBox& RingShape() const override { return picture_; }
    std::uint8_t Paal() const override { return paal_; }
    void Paal(std::uint8_t Waarde) override { paal_ = Waarde; }
    void StaatVast() override { picture_.DragMode = 0; }

private:
    PictureBox& picture_;
    std::uint8_t paal_ = 0;
};

using clsRing1 = clsRingN<1>;
using clsRing2 = clsRingN<2>;
using clsRing3 = clsRingN<3>;
using clsRing4 = clsRingN<4>;
using clsRing5 = clsRingN<5>;
using clsRing6 = clsRingN<6>;
using clsRing7 = clsRingN<7>;
using clsRing8 = clsRingN<8>;
using clsRing9 = clsRingN<9>;

// The ring's number, from the last character of its picture's name ("picRing7" gives 7).
int RingNumber(const infRing& ring);

} // namespace pylons
