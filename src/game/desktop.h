#pragma once

#include "game/controls.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pylons {

enum class MsgStyle { Information, Critical, YesNo }; // YesNo carries the information icon
enum class MsgResult { Ok, Yes, No };

// Everything the game asks of the desktop. Texts are single-byte Windows-1252, like the game's
// own; every message box has the title "Pylons".
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual MsgResult MsgBox(std::string_view text, MsgStyle style) = 0;
    // The typed text, or an empty one when the player cancels.
    virtual std::string InputBox(std::string_view prompt, std::string_view title,
                                 std::string_view defaultText) = 0;
    virtual void Beep() = 0;
    // The full path chosen, or nothing when the player cancels.
    virtual std::optional<std::filesystem::path> ChooseFile(FileDialogMode mode,
                                                            const FileDialog& settings) = 0;
    // "Opens" a web address or a mailto: address; a failure is not reported.
    virtual void ShellOpen(std::string_view target) = 0;
    // Says what just happened to a player who cannot see the board (a move, a refused drop, a
    // lifted ring, a finished level, a hint, a level's board), in the order it happens.
    virtual void Announce(std::string_view words) = 0;

    // Whether one of the game's dialogs is open now: a window that gets the focus back from its
    // own dialog is not a player coming back to the game.
    bool InDialog() const { return dialogs_ > 0; }

protected:
    Desktop() = default;
    Desktop(const Desktop&) = default;
    Desktop& operator=(const Desktop&) = default;

    // Counts a dialog as open for as long as it runs.
    class DialogOpen {
    public:
        explicit DialogOpen(Desktop& desktop) : desktop_(desktop) { ++desktop_.dialogs_; }
        ~DialogOpen() { --desktop_.dialogs_; }
        DialogOpen(const DialogOpen&) = delete;
        DialogOpen& operator=(const DialogOpen&) = delete;

    private:
        Desktop& desktop_;
    };

private:
    int dialogs_ = 0;
};

} // namespace pylons
