#include "board/paal.h"

#include "board/stacking.h"

#include <algorithm>

namespace pylons {

int RingNumber(const infRing& ring) {
    const std::string& name = ring.RingShape().Name;
    if (name.empty() || name.back() < '0' || name.back() > '9') {
        return 0;
    }
    return name.back() - '0';
}

void PaalBase::GeefRingen(std::span<std::uint8_t> WatZitErOp) const {
    const std::size_t n = std::min(ringen_.size(), WatZitErOp.size());
    for (std::size_t i = 0; i < n; ++i) {
        WatZitErOp[i] = static_cast<std::uint8_t>(RingNumber(*ringen_[i]));
    }
}

bool PaalBase::PastErOp(const infRing& Ring) const {
    return pylons::PastErOp(Ring.RingShape().Width,
                            ringen_.empty() ? 0 : ringen_.back()->RingShape().Width);
}

bool PaalBase::ZitErOp(const infRing& Ring) const {
    const std::string& key = Ring.RingShape().Name;
    return std::any_of(ringen_.begin(), ringen_.end(),
                       [&](const auto& r) { return r->RingShape().Name == key; });
}

void PaalBase::AddRing(const std::shared_ptr<infRing>& Ring) {
    if (!PastErOp(*Ring)) {
        return;
    }
    if (!ZitErOp(*Ring)) {
        // The rings beneath are fixed before the new ring joins them, so that only the top ring
        // of a pole can be picked up.
        for (const auto& beneath : ringen_) {
            beneath->StaatVast();
        }
        ringen_.push_back(Ring);
    }
    // The ring leaves its old pole, whose new top ring becomes draggable, before its picture
    // moves.
    const int from = Ring->Paal();
    if (from >= 1 && from <= 4 && from != number_) {
        owner_.PaalNr(from).RemoveRing(*Ring);
    }
    Ring->Paal(static_cast<std::uint8_t>(number_));
    const std::size_t n = ringen_.size();
    PictureBox& picture = Ring->RingShape();
    picture.Left = 590.0 - ringen_.back()->RingShape().Width / 2.0 + 1320.0 * (number_ - 1);
    picture.Top = SlotTop(n);
    // Nothing of this pole may be touched after this call: finishing a level sets up the next
    // one, with new poles and rings.
    AfterPlaced();
}

void PaalBase::RemoveRing(const infRing& Ring) {
    const std::string& key = Ring.RingShape().Name;
    const auto it = std::find_if(ringen_.begin(), ringen_.end(),
                                 [&](const auto& r) { return r->RingShape().Name == key; });
    if (it == ringen_.end()) {
        return;
    }
    ringen_.erase(it);
    if (!ringen_.empty()) {
        ringen_.back()->RingShape().DragMode = 1;
    }
}

} // namespace pylons
