#include "game/player_input.h"

#include "game/texts.h"

namespace pylons {

std::optional<PlayerInput::Lift> PlayerInput::TopRingOf(int pole) const {
    if (pole < 1 || pole > PolesInPlay(game_.Level())) {
        return std::nullopt;
    }
    const auto& stack = game_.PaalNr(pole).Ringen();
    if (stack.empty()) {
        return std::nullopt;
    }
    const PictureBox& picture = stack.back()->RingShape();
    // Only a pole's top ring is free; the rings beneath it are fixed in place.
    if (picture.DragMode != 1 || !picture.Visible) {
        return std::nullopt;
    }
    return Lift{RingNumber(*stack.back()), pole, false, picture.Left,
                PaalBase::SlotTop(stack.size() + 1)};
}

bool PlayerInput::Press(int ring) {
    if (lift_ && lift_->byKeyboard) {
        Cancel();
    }
    if (lift_ || ring < 1 || ring > 9) {
        return false;
    }
    const auto& picture = game_.picRing[static_cast<std::size_t>(ring - 1)];
    const auto object = game_.RingByName(picture.Name);
    if (!object) {
        return false;
    }
    const auto top = TopRingOf(object->Paal());
    if (!top || top->ring != ring) {
        return false;
    }
    lift_ = top;
    return true;
}

void PlayerInput::DragOver(float X) {
    if (lift_ && !lift_->byKeyboard) {
        game_.Form_DragOver(X);
    }
}

void PlayerInput::Release(bool overSurface) {
    if (!lift_) {
        return;
    }
    const std::string name = game_.picRing[static_cast<std::size_t>(lift_->ring - 1)].Name;
    // The lift is over before the drop runs: finishing a level opens its messages.
    lift_.reset();
    if (overSurface) {
        game_.Form_DragDrop(name);
    }
}

void PlayerInput::Cancel() {
    lift_.reset();
}

bool PlayerInput::PoleKey(int pole) {
    if (pole < 1 || pole > PolesInPlay(game_.Level())) {
        return false;
    }
    if (!lift_) {
        if (auto top = TopRingOf(pole)) {
            lift_ = top;
            lift_->byKeyboard = true;
            game_.Form_DragOver(game_.ColumnCentre(pole)); // as a drag starts: the clock runs
            game_.Say(texts::Lifted(lift_->ring, pole));
        }
    } else if (lift_->byKeyboard) {
        Drop(pole);
    }
    return true; // a ring held by the mouse ignores the keys
}

void PlayerInput::Drop(int pole) {
    const std::string name = game_.picRing[static_cast<std::size_t>(lift_->ring - 1)].Name;
    lift_.reset();
    game_.Form_DragOver(game_.ColumnCentre(pole));
    game_.Form_DragDrop(name);
}

bool PlayerInput::Escape() {
    if (!lift_ || !lift_->byKeyboard) {
        return false;
    }
    game_.Say(texts::PutBack(lift_->ring, lift_->pole));
    lift_.reset(); // back where it was, and no move
    return true;
}

void PlayerInput::Undo() {
    Cancel();
    game_.mnuUndo_Click();
}

void PlayerInput::Redo() {
    Cancel();
    game_.mnuRedo_Click();
}

void PlayerInput::Restart() {
    Cancel();
    game_.mnuRestart_Click();
}

void PlayerInput::Hint() {
    game_.mnuHint_Click();
}

bool PlayerInput::StartSolving() {
    Cancel();
    if (!game_.CanSolve()) {
        return false;
    }
    solving_ = true;
    return SolveStep();
}

bool PlayerInput::SolveStep() {
    if (!solving_) {
        return false;
    }
    // A finished level opens its messages inside the step, and the player may act in them.
    const bool more = game_.SolveStep();
    solving_ = more && solving_;
    return solving_;
}

} // namespace pylons
