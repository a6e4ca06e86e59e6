// Saving the game in progress to a file of the player's, and loading it again.

#include "game/frm_main.h"

#include "game/text.h"
#include "game/texts.h"
#include "storage/file_io.h"

#include <cmath>
#include <set>

namespace pylons {
namespace {

bool IsCountable(double value) {
    return std::isfinite(value) && value >= 0 && value <= 9007199254740992.0 &&
           value == std::floor(value);
}

} // namespace

void frmMain::Save() {
    const auto chosen = desktop_.ChooseFile(FileDialogMode::Save, cdbFilePic);
    if (!chosen) {
        return;
    }
    cdbFilePic.FileName = *chosen;
    SaveGameRecord record;
    record.Level = Level();
    Paal1->GeefRingen(record.PaalRingen[0]);
    Paal2->GeefRingen(record.PaalRingen[1]);
    Paal3->GeefRingen(record.PaalRingen[2]);
    Paal4->GeefRingen(record.PaalRingen[3]);
    record.Moves = Moves();
    record.Elapsed = stbStatusBar.Panels(3).Tag;
    if (!WriteWholeFile(*chosen, record.Encode())) {
        desktop_.MsgBox(texts::kNotSaved, MsgStyle::Critical);
    }
}

bool frmMain::IsPlayable(const SaveGameRecord& record) const {
    if (record.Level < 3 || record.Level > 9 || !IsCountable(record.Moves) ||
        !IsCountable(record.Elapsed)) {
        return false;
    }
    std::set<int> seen;
    for (std::size_t pole = 0; pole < record.PaalRingen.size(); ++pole) {
        // A ring on a pole that the level does not show could never be reached again.
        const bool inPlay = static_cast<int>(pole) < PolesInPlay(record.Level);
        for (const std::uint8_t ring : record.PaalRingen[pole]) {
            if (ring != 0 && (!inPlay || ring > record.Level || !seen.insert(ring).second)) {
                return false;
            }
        }
    }
    return true;
}

void frmMain::Load() {
    const auto chosen = desktop_.ChooseFile(FileDialogMode::Open, cdbFilePic);
    if (!chosen) {
        return;
    }
    cdbFilePic.FileName = *chosen;
    const FileHead file = ReadFileHead(*chosen, SaveGameRecord::kBytes);
    if (file.status != ReadStatus::Read) {
        desktop_.MsgBox(texts::kNotLoaded, MsgStyle::Critical);
        return;
    }
    // Everything is checked before anything changes, so a bad file leaves the game as it was.
    const auto record = SaveGameRecord::Decode(file.bytes);
    if (!record || !IsPlayable(*record)) {
        desktop_.MsgBox(texts::kNotASaveGame, MsgStyle::Critical);
        return;
    }
    Level(record->Level);
    StartLevel(Level());
    // Rebuilding a position is no move: a finished tower simply stands on its goal pole.
    rebuilding_ = true;
    for (int p = 4; p >= 1; --p) {
        const std::shared_ptr<PaalBase> pole = PaalPtr(p);
        for (const std::uint8_t ring : record->PaalRingen[static_cast<std::size_t>(p - 1)]) {
            if (ring != 0) {
                pole->AddRing(RingByName("picRing" + std::to_string(ring)));
            }
        }
    }
    rebuilding_ = false;
    SettleRings();
    Moves(record->Moves);
    Panel& clock = stbStatusBar.Panels(3);
    clock.Tag = record->Elapsed;
    stbStatusBar.Panels(1).Text = texts::MovesPanel(Moves());
    clock.Text = TimeText(clock.Tag + 1);
    SayBoard();
}

void frmMain::SettleRings() {
    // Rings taken from inside the starting tower leave gaps and fixed rings behind; put every
    // picture at its slot, with only the top ring of each pole free to be picked up.
    for (int p = 1; p <= 4; ++p) {
        const PaalBase& pole = PaalNr(p);
        const auto& stack = pole.Ringen();
        for (std::size_t k = 1; k <= stack.size(); ++k) {
            PictureBox& picture = stack[k - 1]->RingShape();
            picture.Left = pole.CentreX() - picture.Width / 2.0;
            picture.Top = PaalBase::SlotTop(k);
            picture.DragMode = k == stack.size() ? 1 : 0;
        }
    }
}

} // namespace pylons
