#pragma once

#include "game/desktop.h"

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pylons::testing {

// A desktop that writes down every call, in order, and answers from a script: message boxes
// with Yes/No take the next answer (No when none is left), name prompts the next name (a cancel,
// the empty text, when none is left), file dialogs the next file (a cancel when none is left).
class FakeDesktop final : public Desktop {
public:
    std::vector<std::string> calls;
    std::deque<MsgResult> answers;
    std::deque<std::string> names;
    std::deque<std::optional<std::filesystem::path>> files;
    // Runs at every call, after it is written down: a test looks at the game at that moment.
    std::function<void(const std::string&)> observer;

    MsgResult MsgBox(std::string_view text, MsgStyle style) override {
        static const char* const kStyles[] = {"information", "critical", "yes/no"};
        Record("MsgBox " + std::string(kStyles[static_cast<int>(style)]) + ": " +
               std::string(text));
        if (style != MsgStyle::YesNo) {
            return MsgResult::Ok;
        }
        return Next(answers, MsgResult::No);
    }
    std::string InputBox(std::string_view prompt, std::string_view title,
                         std::string_view defaultText) override {
        Record("InputBox " + std::string(title) + ": " + std::string(prompt) + " [" +
               std::string(defaultText) + "]");
        return Next(names, std::string());
    }
    void Beep() override { Record("Beep"); }
    std::optional<std::filesystem::path> ChooseFile(FileDialogMode mode,
                                                    const FileDialog& settings) override {
        Record(std::string(mode == FileDialogMode::Save ? "Save" : "Open") + " dialog [" +
               settings.FileName.string() + "]");
        return Next(files, std::optional<std::filesystem::path>());
    }
    void ShellOpen(std::string_view target) override { Record("ShellOpen " + std::string(target)); }
    // Announcements are kept apart from the calls: a screen reader hears them beside the game.
    std::vector<std::string> said;
    void Announce(std::string_view words) override { said.emplace_back(words); }

    // The calls since the last time this was asked.
    std::vector<std::string> TakeCalls() {
        std::vector<std::string> taken;
        taken.swap(calls);
        return taken;
    }

private:
    void Record(std::string call) {
        calls.push_back(std::move(call));
        if (observer) {
            observer(calls.back());
        }
    }
    template <typename T> static T Next(std::deque<T>& queue, T fallback) {
        if (queue.empty()) {
            return fallback;
        }
        T value = std::move(queue.front());
        queue.pop_front();
        return value;
    }
};

} // namespace pylons::testing
