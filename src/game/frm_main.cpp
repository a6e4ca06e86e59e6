#include "game/frm_main.h"

#include "game/links.h"
#include "game/text.h"

#include <cmath>
#include <set>
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

bool IsCountable(double value) {
    return std::isfinite(value) && value >= 0 && value <= 9007199254740992.0 &&
           value == std::floor(value);
}

const char* const kPlaceMessages[] = {
    "You score is good for FIRST place!",
    "You score is good for SECOND place!",
    "You score is good for THIRD place!",
};

} // namespace

int PolesInPlay(int level) {
    return level <= 5 ? 3 : 4;
}

frmMain::frmMain(Desktop& desktop, std::filesystem::path hiScoreFile)
    : desktop_(desktop), hiScoreFile_(std::move(hiScoreFile)) {
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
}

void frmMain::StartLevel(std::uint8_t level) {
    // A level starts with no history, no hint, and its high-score entry open.
    ++levelStarts_;
    history_.clear();
    redo_.clear();
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

    stbStatusBar.Panels(1).Text = "Moves " + NumberText(Moves());
    stbStatusBar.Panels(2).Text =
        "Fastest time " + HiScores.Record(HiScoreTable::RecordNumber(level, 1)).Time.Str();
    Window.Caption = "Pylons - Level " + std::to_string(level);
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
    // Every release over the window counts, whether the pole takes the ring or not.
    Moves(Moves() + 1);
    stbStatusBar.Panels(1).Text = "Moves = " + NumberText(Moves());
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
        std::string said =
            "Ring " + std::to_string(number) + " stays on pole " + std::to_string(from);
        if (target != from) {
            said += ": ring " + std::to_string(RingNumber(*pole->Ringen().back())) + " on pole " +
                    std::to_string(target) + " is narrower";
        }
        Announcements.push_back(said);
        return; // only a move the pole took goes in the history
    }
    Announcements.push_back("Ring " + std::to_string(number) + " to pole " +
                            std::to_string(target));
    const SolverMove move{number, from, target};
    switch (replay_) {
    case Replay::None:
        history_.push_back(move);
        redo_.clear();
        break;
    case Replay::Undo:
        redo_.push_back({move.ring, move.to, move.from}); // the move that was taken back
        break;
    case Replay::Redo:
        history_.push_back(move);
        break;
    }
}

float frmMain::ColumnCentre(int pole) const {
    const double column = Window.Width / PolesInPlay(Level());
    return static_cast<float>(column * (pole - 0.5));
}

void frmMain::PlayAid(int ring, int to, Replay replay) {
    replay_ = replay;
    Form_DragOver(ColumnCentre(to));
    Form_DragDrop("picRing" + std::to_string(ring));
    replay_ = Replay::None;
}

void frmMain::mnuUndo_Click() {
    if (history_.empty()) {
        return;
    }
    const SolverMove last = history_.back();
    history_.pop_back();
    PlayAid(last.ring, last.from, Replay::Undo);
}

void frmMain::mnuRedo_Click() {
    if (redo_.empty()) {
        return;
    }
    const SolverMove next = redo_.back();
    redo_.pop_back();
    PlayAid(next.ring, next.to, Replay::Redo);
}

void frmMain::mnuRestart_Click() {
    timElapsed.Enabled = false;
    StartLevel(Level());
}

std::vector<std::uint8_t> frmMain::Position() const {
    std::vector<std::uint8_t> position(Level(), 0);
    for (int p = 1; p <= 4; ++p) {
        for (const auto& ring : const_cast<frmMain&>(*this).PaalNr(p).Ringen()) {
            const auto n = static_cast<std::size_t>(RingNumber(*ring));
            if (n <= position.size()) {
                position[n - 1] = static_cast<std::uint8_t>(p);
            }
        }
    }
    return position;
}

const Solver& frmMain::LevelSolver() {
    // The level fixes the number of poles too.
    if (!solver_ || solver_->Rings() != Level()) {
        solver_ = std::make_unique<Solver>(Level(), PolesInPlay(Level()));
    }
    return *solver_;
}

std::optional<SolverMove> frmMain::BestMove() {
    if (Level() < 3 || Level() > 9) {
        return std::nullopt;
    }
    return LevelSolver().BestMove(Position());
}

bool frmMain::CanSolve() const {
    // A finished tower: every ring of the level on the goal pole.
    const int goal = PolesInPlay(Level());
    return Level() >= 3 && Level() <= 9 &&
           const_cast<frmMain&>(*this).PaalNr(goal).Count() != Level();
}

void frmMain::mnuHint_Click() {
    const auto move = BestMove();
    if (!move) {
        ShownHint.reset();
        return;
    }
    ShownHint = Hint{move->ring, move->to, *LevelSolver().Distance(Position())};
    Announcements.push_back(HintText());
}

std::string frmMain::HintText() const {
    if (!ShownHint) {
        return {};
    }
    const int left = ShownHint->movesLeft;
    return "Hint: ring " + std::to_string(ShownHint->ring) + " to pole " +
           std::to_string(ShownHint->pole) + ", " + std::to_string(left) +
           (left == 1 ? " move" : " moves") + " to go";
}

bool frmMain::SolveStep() {
    const auto move = BestMove();
    if (!move) {
        return false;
    }
    const int starts = levelStarts_;
    solverHelped_ = true;
    PlayAid(move->ring, move->to, Replay::None);
    return levelStarts_ == starts && CanSolve() && !Unloaded;
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
    Announcements.push_back("Level " + std::to_string(Level()) + " finished in " +
                            NumberText(Moves()) + (Moves() == 1 ? " move" : " moves"));
    timElapsed.Enabled = false;
    desktop_.Beep();
    // A level the solver helped to finish is not the player's result.
    if (!solverHelped_) {
        EnterHiScore();
    }
    const int level = Level();
    if (level == 9) {
        if (desktop_.MsgBox("Very good you have made it!\r\nQuit?", MsgStyle::YesNo) ==
            MsgResult::Yes) {
            mnuQuit_Click();
        }
        return;
    }
    desktop_.MsgBox(level <= 5 ? "Good, Next Level!" : "Very good, next level",
                    MsgStyle::Information);
    Level(static_cast<std::uint8_t>(level + 1));
    StartLevel(Level());
}

void frmMain::EnterHiScore() {
    const int level = Level();
    const double moves = Moves();
    const Panel& clock = stbStatusBar.Panels(3);
    const double seconds = clock.Tag;
    // Another game may have stored results since this one started: the place is told against
    // the file as it is now.
    ReadHiScores();
    const int place = HiScores.PlaceFor(level, moves, seconds);
    if (place == 0) {
        return;
    }
    desktop_.MsgBox(kPlaceMessages[place - 1], MsgStyle::Information);
    const std::string name = desktop_.InputBox("You name", "Hiscore", LastHiScoreName);
    NewResult result{level, {}, seconds};
    result.record.Name.Assign(name);
    result.record.Time.Assign(clock.Text);
    result.record.Moves = moves;
    newResults_.push_back(result);
    LastHiScoreName = name;
    SaveHiScore();
}

HiScoreTable frmMain::WithNewResults(HiScoreTable table) const {
    for (const NewResult& result : newResults_) {
        table.Enter(result.level, result.record, result.seconds);
    }
    return table;
}

FileHead frmMain::ReadHiScores() {
    const FileHead head = ReadFileHead(hiScoreFile_, HiScoreTable::kFileBytes);
    if (head.status == ReadStatus::Read) {
        fileRecords_.DecodeWhole(head.bytes);
    }
    HiScores = WithNewResults(fileRecords_);
    return head;
}

void frmMain::LaadHiScore() {
    fileRecords_ = HiScores;
    // A file that is no file or cannot be read leaves the table as it is and the file untouched.
    const FileHead head = ReadHiScores();
    if (head.status == ReadStatus::Missing ||
        (head.status == ReadStatus::Read && head.bytes.empty())) {
        SaveHiScore();
    }
}

void frmMain::SaveHiScore() {
    HiScoreTable written;
    const bool stored = UpdateFileHead(
        hiScoreFile_, HiScoreTable::kFileBytes,
        [&](std::span<const std::uint8_t> current) -> std::optional<std::vector<std::uint8_t>> {
            // The records the file holds now; where it holds none (a new or empty file), those
            // the table had.
            fileRecords_.DecodeWhole(current);
            written = WithNewResults(fileRecords_);
            const auto bytes = written.Encode();
            return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
        });
    if (stored) {
        fileRecords_ = written;
        newResults_.clear();
    }
    // Results that the file could not take last in memory, for this run, and are offered to it
    // again at the next entry.
    HiScores = WithNewResults(fileRecords_);
}

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
        desktop_.MsgBox("The game could not be saved.", MsgStyle::Critical);
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
        desktop_.MsgBox("The game could not be loaded.", MsgStyle::Critical);
        return;
    }
    // Everything is checked before anything changes, so a bad file leaves the game as it was.
    const auto record = SaveGameRecord::Decode(file.bytes);
    if (!record || !IsPlayable(*record)) {
        desktop_.MsgBox("Not A valid savegame", MsgStyle::Critical);
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
    stbStatusBar.Panels(1).Text = "Moves " + NumberText(Moves());
    clock.Text = TimeText(clock.Tag + 1);
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
