#pragma once

#include "game/desktop.h"

#include <QString>

#include <functional>

class QWidget;

namespace pylons {

// The desktop as Qt offers it: message boxes, the name prompt, the beep, the file dialog and the
// system's handler for web and mail addresses. Dialogs are modal to the given window.
class QtDesktop final : public Desktop {
public:
    explicit QtDesktop(QWidget* owner) : owner_(owner) {}
    // Runs before a message or a prompt opens, so that the window behind it shows the board as
    // it is now (a finishing move opens its messages before the drop returns).
    void BeforeDialogs(std::function<void()> show) { beforeDialog_ = std::move(show); }
    // Where announcements go: the window says them to screen readers.
    void OnAnnounce(std::function<void(const QString&)> say) { say_ = std::move(say); }

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

    QWidget* owner_;
    std::function<void()> beforeDialog_;
    std::function<void(const QString&)> say_;
    // The name as the player last typed it: the game keeps its single-byte form, which loses the
    // characters the file cannot hold, and offers that form back.
    QString lastTyped_;
};

} // namespace pylons
