#include "game/texts.h"

#include "game/text.h"

namespace pylons::texts {
namespace {

constexpr MenuItem kFileItems[] = {
    {"mnuSave", "&Save", Command::Save, ""},
    {"mnuLoad", "&Open", Command::Load, ""},
    {"mnuHiScore", "&Hiscore", Command::HiScore, "", true},
    {"mnuQuit", "&Quit", Command::Quit, "", true},
};
constexpr MenuItem kGameItems[] = {
    {"mnuUndo", "&Undo", Command::Undo, "Ctrl+Z"},
    {"mnuRedo", "&Redo", Command::Redo, "Ctrl+Shift+Z"},
    {"mnuRestart", "Re&start level", Command::Restart, "", true},
    {"mnuHint", "H&int", Command::Hint, "H", true},
    {"mnuSolve", "S&olve", Command::Solve, ""},
};
constexpr MenuItem kHelpItems[] = {
    {"mnuWeb", "&Web site", Command::Web, ""},
    {"mnuAbout", "&About", Command::About, "", true},
};
constexpr Menu kMenus[] = {
    {"mnuFile", "&File", kFileItems},
    {"mnuGame", "&Game", kGameItems},
    {"mnuHelp", "&Help", kHelpItems},
};

std::string Number(int n) {
    return std::to_string(n);
}

std::string Joined(const std::vector<int>& numbers) {
    std::string joined;
    for (const int n : numbers) {
        joined += (joined.empty() ? "" : ", ") + Number(n);
    }
    return joined;
}

// "2", "2 and 3", "2, 3 and 4".
std::string Listed(const std::vector<int>& numbers) {
    std::string listed;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        listed += (i == 0 ? "" : i + 1 == numbers.size() ? " and " : ", ") + Number(numbers[i]);
    }
    return listed;
}

} // namespace

std::span<const Menu> Menus() {
    return kMenus;
}

std::string Caption(int level) {
    return std::string(kTitle) + " - Level " + Number(level);
}

std::string MovesPanel(double moves) {
    return "Moves " + NumberText(moves);
}

std::string MovedPanel(double moves) {
    return "Moves = " + NumberText(moves);
}

std::string FastestPanel(std::string_view time) {
    return "Fastest time " + std::string(time);
}

std::string HintWords(int ring, int pole, int movesLeft) {
    return "Hint: ring " + Number(ring) + " to pole " + Number(pole) + ", " + Number(movesLeft) +
           (movesLeft == 1 ? " move" : " moves") + " to go";
}

std::string Moved(int ring, int pole) {
    return "Ring " + Number(ring) + " to pole " + Number(pole);
}

std::string Stayed(int ring, int from, int target, int narrowerTop) {
    std::string said = "Ring " + Number(ring) + " stays on pole " + Number(from);
    if (target != from) {
        said += ": ring " + Number(narrowerTop) + " on pole " + Number(target) + " is narrower";
    }
    return said;
}

std::string Finished(int level, double moves) {
    return "Level " + Number(level) + " finished in " + NumberText(moves) +
           (moves == 1 ? " move" : " moves");
}

std::string Lifted(int ring, int pole) {
    return "Ring " + Number(ring) + " lifted from pole " + Number(pole);
}

std::string PutBack(int ring, int pole) {
    return "Ring " + Number(ring) + " put back on pole " + Number(pole);
}

std::string PoleName(int pole) {
    return "Pole " + Number(pole);
}

std::string PoleDescription(int pole, const std::vector<int>& rings) {
    return PoleName(pole) + (rings.empty() ? ": no rings" : ": rings " + Joined(rings));
}

std::string RingDescription(int ring, int pole, bool free) {
    return "Ring " + Number(ring) + " on pole " + Number(pole) + (free ? ", can be moved" : "");
}

std::string LiftedOutline(int ring) {
    return "Ring " + Number(ring) + " lifted";
}

std::string BoardDescription(int level, const Stacks& stacks) {
    std::string said = Caption(level);
    for (std::size_t p = 0; p < stacks.size(); ++p) {
        said += ". " + PoleDescription(static_cast<int>(p) + 1, stacks[p]);
    }
    return said;
}

std::string BoardAloud(int level, const Stacks& stacks) {
    std::string said = "Level " + Number(level);
    std::vector<int> empty;
    for (std::size_t p = 0; p < stacks.size(); ++p) {
        if (stacks[p].empty()) {
            empty.push_back(static_cast<int>(p) + 1);
        } else {
            said += ". " + PoleDescription(static_cast<int>(p) + 1, stacks[p]);
        }
    }
    if (!empty.empty()) {
        said += (empty.size() == 1 ? ". Pole " : ". Poles ") + Listed(empty) + ": no rings";
    }
    return said;
}

} // namespace pylons::texts
