#pragma once

#include "game/texts.h"

#include <array>
#include <filesystem>
#include <string>

namespace pylons {

// The main window's controls, as plain values that the game logic writes and the view draws.

// The player never clicks these: they stay disabled, and only dragging selects them.
struct OptionButton {
    bool Value = false;
    bool Visible = false;
};

// optPaal1 to optPaal4: one group, so selecting one clears the others.
class OptionGroup {
public:
    OptionButton& operator[](int number) {
        return buttons_.at(static_cast<std::size_t>(number - 1));
    }
    const OptionButton& operator[](int number) const {
        return buttons_.at(static_cast<std::size_t>(number - 1));
    }
    void SetValue(int number, bool value) {
        if (value) {
            for (OptionButton& button : buttons_) {
                button.Value = false;
            }
        }
        (*this)[number].Value = value;
    }
    // The number of the first selected button, 0 when none is.
    int Selected() const {
        for (int number = 1; number <= 4; ++number) {
            if ((*this)[number].Value) {
                return number;
            }
        }
        return 0;
    }

private:
    std::array<OptionButton, 4> buttons_;
};

struct Shape {
    bool Visible = false;
};

struct Panel {
    std::string Text;
    double Tag = 0; // panel 3: the clock's whole seconds
};

struct StatusBar {
    std::array<Panel, 3> panels;
    Panel& Panels(int index) { return panels.at(static_cast<std::size_t>(index - 1)); }
    const Panel& Panels(int index) const { return panels.at(static_cast<std::size_t>(index - 1)); }
};

struct Timer {
    bool Enabled = false;
    int Interval = 1000;
};

// The main window itself, in window units. Width is the width of the client area, which the
// level sets; Height is the window's outer height, which the view reports, since only it knows
// the menu bar and the frame.
struct FormWindow {
    std::string Caption{texts::kTitle};
    double Width = 5460;
    double Height = 4575;
    double Left = 0;
    double Top = 0;
    int Centrings = 0; // how often Left and Top were worked out; the view moves the window then
};

struct ScreenSize {
    double Width = 1024 * 15;
    double Height = 768 * 15;
};

enum class FileDialogMode { Save, Open };

// cdbFilePic: the one file dialog of the main window, for saving and for loading. FileName is
// the name last chosen in either form, offered the next time.
struct FileDialog {
    std::string DialogTitle{texts::kTitle};
    std::string Filter{texts::kFileFilter};        // description|pattern
    std::string DefaultExt{texts::kFileExtension}; // added to a typed name without extension
    bool OverwritePrompt = true;                   // save form: ask before replacing a file
    bool PathMustExist = true;                     // the chosen file's folder must exist
    bool FileMustExist = true;                     // open form
    std::filesystem::path FileName;
};

} // namespace pylons
