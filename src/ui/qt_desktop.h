#pragma once

#include "game/desktop.h"

class QWidget;

namespace pylons {

// The desktop as Qt offers it: message boxes, the name prompt, the beep, the file dialog and the
// system's handler for web and mail addresses. Dialogs are modal to the given window.
class QtDesktop final : public Desktop {
public:
    explicit QtDesktop(QWidget* owner) : owner_(owner) {}

    MsgResult MsgBox(std::string_view text, MsgStyle style) override;
    std::string InputBox(std::string_view prompt, std::string_view title,
                         std::string_view defaultText) override;
    void Beep() override;
    std::optional<std::filesystem::path> ChooseFile(FileDialogMode mode,
                                                    const FileDialog& settings) override;
    void ShellOpen(std::string_view target) override;

private:
    QWidget* owner_;
};

} // namespace pylons
