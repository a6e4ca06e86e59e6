#pragma once

#include "game/desktop.h"

#include <windows.h>

#include <functional>
#include <string>

namespace pylons {

// The desktop as Windows offers it: message boxes, the name prompt, the beep, the common file
// dialogs and the shell's "open". Dialogs are modal to the main window.
class Win32Desktop final : public Desktop {
public:
    void SetOwner(HWND owner) { owner_ = owner; }
    // Runs before a message or a prompt opens, so that the window behind it shows the board as
    // it is now (a finishing move opens its messages before the drop returns).
    void BeforeDialogs(std::function<void()> show) { beforeDialog_ = std::move(show); }
    void OnAnnounce(std::function<void(const std::wstring&)> say) { say_ = std::move(say); }

    MsgResult MsgBox(std::string_view text, MsgStyle style) override;
    std::string InputBox(std::string_view prompt, std::string_view title,
                         std::string_view defaultText) override;
    void Beep() override;
    std::optional<std::filesystem::path> ChooseFile(FileDialogMode mode,
                                                    const FileDialog& settings) override;
    void ShellOpen(std::string_view target) override;
    void Announce(std::string_view words) override;

private:
    void ShowOwner() const {
        if (beforeDialog_) {
            beforeDialog_();
        }
    }

    HWND owner_ = nullptr;
    std::function<void()> beforeDialog_;
    std::function<void(const std::wstring&)> say_;
    // The name as the player last typed it: the game keeps its single-byte form, which loses the
    // characters the file cannot hold, and offers that form back.
    std::wstring lastTyped_;
};

} // namespace pylons
