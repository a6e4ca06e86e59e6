#include "game/frm_main.h"

#include "game/links.h"
#include "game/text.h"
#include "game/texts.h"

#include <utility>

namespace pylons {
namespace {

struct RingLook {
    int width;
    Rgb colour;
    double left;
    double top;
};

// The rings as the main window is created: a tower on pole 1.
constexpr std::array<RingLook, 9> kRingLooks = {{
    {225, {224, 224, 224}, 480, 840},
    {375, {255, 128, 128}, 420, 1200},
    {495, {255, 192, 128}, 360, 1560},
    {615, {255, 255, 128}, 300, 1920},
    {735, {128, 255, 128}, 240, 2280},
    {855, {128, 255, 255}, 180, 2640},
    {975, {128, 128, 255}, 120, 3000},
    {1095, {255, 128, 255}, 60, 3360},
    {1215, {0, 0, 0}, 0, 3720},
}};

constexpr double kColumnWidth = 1335; // every pole in play gets a column this wide

template <std::size_t... I>
std::array<std::shared_ptr<infRing>, 9> MakeRings(RingPictures& pictures,
                                                  std::index_sequence<I...>) {
    return {std::make_shared<clsRingN<static_cast<int>(I) + 1>>(pictures)...};
}

} // namespace

int PolesInPlay(int level) {
    return level <= 5 ? 3 : 4;
}

frmMain::frmMain(Desktop& desktop, std::filesystem::path hiScoreFile)
    : desktop_(desktop), hiScoreKeeper_(std::move(hiScoreFile)) {
    for (std::size_t i = 0; i < picRing.size(); ++i) {
        PictureBox& picture = picRing[i];
        picture.Name = "picRing" + std::to_string(i + 1);
        picture.Width = kRingLooks[i].width;
        picture.Height = 375;
        picture.BackColor = kRingLooks[i].colour;
        picture.Left = kRingLooks[i].left;
        picture.Top = kRingLooks[i].top;
    }
    optPaal.SetValue(1, true);
    stbStatusBar.Panels(3).Text = "0:00:00";
}

void frmMain::Form_Load() {
    HiScores.FillDefaults();
    LaadHiScore();
    Level(3);
    StartLevel(Level());
    SayBoard();
}

void frmMain::StartLevel(std::uint8_t level) {
    // A level starts with no history, no hint, and its high-score entry open.
    ++levelStarts_;
    history_.Clear();
    ShownHint.reset();
    solverHelped_ = false;
    Panel& clock = stbStatusBar.Panels(3);
    clock.Text = "0:00:00";
    clock.Tag = 0;
    Moves(0);

    // The objects of the level before may still be in use further up the call stack (a level
    // starts from inside the move that finished the last one); their holders keep them alive.
    PaalOwner& owner = *this;
    Paal1 = std::make_shared<clsPaal1>(owner);
    Paal2 = std::make_shared<clsPaal2>(owner);
    Paal3 = std::make_shared<clsPaal3>(owner);
    Paal4 = std::make_shared<clsPaal4>(owner);
    ringObjects_ = MakeRings(picRing, std::make_index_sequence<9>{});
    Rings.clear();

    if (level < 3 || level > 9) {
        return; // no such level: nothing to set up
    }
    const int poles = PolesInPlay(level);
    // Only the level's own controls show. In play levels only rise, so this hides nothing;
    // after loading a smaller level it keeps rings and a pole of the larger one out of reach.
    for (int p = 1; p <= 4; ++p) {
        optPaal[p].Visible = p <= poles;
        shpPaal[static_cast<std::size_t>(p - 1)].Visible = p <= poles;
    }
    for (int n = 1; n <= 9; ++n) {
        picRing[static_cast<std::size_t>(n - 1)].Visible = n <= level;
    }
    for (int n = level; n >= 1; --n) {
        Paal1->AddRing(ringObjects_[static_cast<std::size_t>(n - 1)]);
    }
    for (int n = 1; n <= level; ++n) {
        const auto& ring = ringObjects_[static_cast<std::size_t>(n - 1)];
        Rings.emplace(ring->RingShape().Name, ring);
    }
    Window.Width = kColumnWidth * poles;

    stbStatusBar.Panels(1).Text = texts::MovesPanel(Moves());
    stbStatusBar.Panels(2).Text =
        texts::FastestPanel(HiScores.Record(HiScoreTable::RecordNumber(level, 1)).Time.Str());
    Window.Caption = texts::Caption(level);
    Window.Top = static_cast<float>(
        (static_cast<float>(Screen.Height) - static_cast<float>(Window.Height)) / 2.0f);
    Window.Left = static_cast<float>(
        (static_cast<float>(Screen.Width) - static_cast<float>(Window.Width)) / 2.0f);
    ++Window.Centrings;
}

void frmMain::Form_DragOver(float X) {
    const int columns = PolesInPlay(Level());
    if (!timElapsed.Enabled) {
        timElapsed.Enabled = true;
    }
    const double column = Window.Width / columns;
    const float bound1 = static_cast<float>(column);
    const float bound2 = static_cast<float>(column * 2);
    const float bound3 = static_cast<float>(column * 3);
    const bool inColumn[4] = {X < bound1, bound1 <= X && X < bound2, bound2 <= X && X < bound3,
                              X >= bound3};
    for (int p = 1; p <= 4; ++p) {
        if (optPaal[p].Visible) {
            optPaal.SetValue(p, inColumn[p - 1]);
        }
    }
}

void frmMain::Form_DragDrop(std::string_view draggedName) {
    DropRing(draggedName, true);
}

void frmMain::DropRing(std::string_view draggedName, bool remember) {
    // Every release over the window counts, whether the pole takes the ring or not.
    Moves(Moves() + 1);
    stbStatusBar.Panels(1).Text = texts::MovedPanel(Moves());
    const int target = optPaal.Selected();
    if (target == 0) {
        return;
    }
    const std::shared_ptr<infRing> ring = RingByName(draggedName);
    if (!ring) {
        return;
    }
    // Held here, the pole outlives a level start inside its own AddRing.
    const std::shared_ptr<PaalBase> pole = PaalPtr(target);
    const int from = ring->Paal();
    const int starts = levelStarts_;
    ShownHint.reset();
    pole->AddRing(ring);
    if (levelStarts_ != starts) {
        return; // the level is over, and said so; the finishing move is in no history
    }
    const int number = RingNumber(*ring);
    if (ring->Paal() == from) {
        // Dropped on its own pole, or refused by a narrower top ring on the target.
        Say(texts::Stayed(number, from, target, RingNumber(*pole->Ringen().back())));
        return; // only a move the pole took goes in the history
    }
    Say(texts::Moved(number, target));
    if (remember) {
        history_.Played({number, from, target});
    }
}

float frmMain::ColumnCentre(int pole) const {
    const double column = Window.Width / PolesInPlay(Level());
    return static_cast<float>(column * (pole - 0.5));
}

void frmMain::timElapsed_Timer() {
    Panel& clock = stbStatusBar.Panels(3);
    clock.Tag = clock.Tag + 1;
    // The clock shows one second more than it has counted.
    clock.Text = TimeText(clock.Tag + 1);
}

void frmMain::mnuQuit_Click() {
    Unloaded = true;
}

void frmMain::mnuWeb_Click() {
    desktop_.ShellOpen(kWebSiteAddress);
}

std::shared_ptr<infRing> frmMain::RingByName(std::string_view name) const {
    const auto it = Rings.find(name);
    return it == Rings.end() ? nullptr : it->second;
}

std::shared_ptr<PaalBase> frmMain::PaalPtr(int number) const {
    switch (number) {
    case 1:
        return Paal1;
    case 2:
        return Paal2;
    case 3:
        return Paal3;
    default:
        return Paal4;
    }
}

PaalBase& frmMain::PaalNr(int number) {
    return *PaalPtr(number);
}

void frmMain::CheckFinished(int pole, std::size_t ringCount) {
    if (rebuilding_) {
        return;
    }
    const int level = Level();
    const bool goal =
        (pole == 3 && level >= 3 && level <= 5) || (pole == 4 && level >= 6 && level <= 9);
    if (goal && ringCount == static_cast<std::size_t>(level)) {
        FinishLevel();
    }
}

void frmMain::FinishLevel() {
    Say(texts::Finished(Level(), Moves()));
    timElapsed.Enabled = false;
    desktop_.Beep();
    // A level the solver helped to finish is not the player's result.
    if (!solverHelped_) {
        EnterHiScore();
    }
    const int level = Level();
    if (level == 9) {
        if (desktop_.MsgBox(texts::kAllDone, MsgStyle::YesNo) == MsgResult::Yes) {
            mnuQuit_Click();
        }
        return;
    }
    desktop_.MsgBox(level <= 5 ? texts::kNextLevelSmall : texts::kNextLevelLarge,
                    MsgStyle::Information);
    Level(static_cast<std::uint8_t>(level + 1));
    StartLevel(Level());
    SayBoard();
}

void frmMain::EnterHiScore() {
    const int level = Level();
    const double moves = Moves();
    const Panel& clock = stbStatusBar.Panels(3);
    const double seconds = clock.Tag;
    // Another game may have stored results since this one started: the place is told against
    // the file as it is now.
    HiScores = hiScoreKeeper_.Reread();
    const int place = HiScores.PlaceFor(level, moves, seconds);
    if (place == 0) {
        return;
    }
    desktop_.MsgBox(texts::kPlaces[static_cast<std::size_t>(place - 1)], MsgStyle::Information);
    const std::string name =
        desktop_.InputBox(texts::kNamePrompt, texts::kNameTitle, LastHiScoreName);
    HiScoreRecord record;
    record.Name.Assign(name);
    record.Time.Assign(clock.Text);
    record.Moves = moves;
    LastHiScoreName = name;
    HiScores = hiScoreKeeper_.Add(level, record, seconds);
}

void frmMain::LaadHiScore() {
    HiScores = hiScoreKeeper_.Open(HiScores);
}

void frmMain::SaveHiScore() {
    HiScores = hiScoreKeeper_.Store();
}

void frmMain::Say(std::string_view words) {
    lastSaid_ = words;
    desktop_.Announce(words);
}

texts::Stacks frmMain::Stacks() const {
    const int poles = Level() >= 3 && Level() <= 9 ? PolesInPlay(Level()) : 0;
    texts::Stacks stacks(static_cast<std::size_t>(poles));
    for (int p = 1; p <= poles; ++p) {
        for (const auto& ring : PaalPtr(p)->Ringen()) {
            stacks[static_cast<std::size_t>(p - 1)].push_back(RingNumber(*ring));
        }
    }
    return stacks;
}

void frmMain::SayBoard() {
    const std::string board = texts::BoardAloud(Level(), Stacks());
    if (board != lastSaid_) {
        Say(board);
    }
}

std::string frmMain::BoardDescription() const {
    return texts::BoardDescription(Level(), Stacks());
}

std::string frmMain::PoleDescription(int pole) const {
    std::vector<int> rings;
    for (const auto& ring : PaalPtr(pole)->Ringen()) {
        rings.push_back(RingNumber(*ring));
    }
    return texts::PoleDescription(pole, rings);
}

std::string frmMain::RingDescription(int ring) const {
    const auto object = RingByName(picRing[static_cast<std::size_t>(ring - 1)].Name);
    if (!object) {
        return {};
    }
    return texts::RingDescription(ring, object->Paal(), object->RingShape().DragMode == 1);
}

} // namespace pylons
