// The Windows game: the same core as on Linux, with a frontend of Windows' own controls.

#include "app/score_place.h"
#include "win32/main_window.h"

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <string>

namespace {

std::filesystem::path ProgramFolder() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return std::filesystem::path(path).parent_path();
}

// %APPDATA%\Pylons: where a player's own scores live when the program's folder cannot hold them.
// Read from the environment, which Windows sets for every program, so that the shell need not be
// loaded at start.
std::filesystem::path PlayerFolder() {
    std::wstring folder(32768, L'\0');
    folder.resize(
        GetEnvironmentVariableW(L"APPDATA", folder.data(), static_cast<DWORD>(folder.size())));
    return folder.empty() ? std::filesystem::path() : std::filesystem::path(folder) / L"Pylons";
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The high scores live beside the program where they can, otherwise with the player's data.
    const pylons::ScorePlace place = pylons::ChooseScorePlace(ProgramFolder(), PlayerFolder());
    pylons::PrepareScoreFile(place);
    pylons::Win32MainWindow window(instance, place.file);
    ShowWindow(window.Handle(), show);
    UpdateWindow(window.Handle());
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorW(window.Handle(), window.Accelerators(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
