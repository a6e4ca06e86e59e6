#pragma once

#include "game/frm_main.h"
#include "game/player_input.h"
#include "win32/win32_desktop.h"

#include <windows.h>

#include <array>
#include <filesystem>
#include <string>

namespace pylons {

// frmMain's window for Windows, made of Windows' own controls: the menus, option buttons, the
// common controls' status bar, child windows for the rings (named for screen readers as the game
// describes them). It maps the mouse, the keys, the menus and its timers to the game's calls
// (through PlayerInput) and draws the game's state after each; it keeps no game state.
class Win32MainWindow {
public:
    Win32MainWindow(HINSTANCE instance, const std::filesystem::path& hiScoreFile);
    Win32MainWindow(const Win32MainWindow&) = delete;
    Win32MainWindow& operator=(const Win32MainWindow&) = delete;

    HWND Handle() const { return window_; }
    HACCEL Accelerators() const { return accelerators_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK RingProc(HWND ring, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK OutlineProc(HWND outline, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnRingMessage(int ring, UINT message, WPARAM wParam, LPARAM lParam);

    void CreateControls();
    HMENU BuildMenus(); // the menu bar, and the Game menu's accelerators
    void Refresh();
    void PlaceWindow();
    void PaintBoard(HDC dc);
    void Command(int command);
    bool OverWindowSurface(POINT client) const;
    void EndDrag(bool drop, POINT client);
    void CancelDrag();
    void StopSolving();
    void ShowOutline();
    void HideOutline();
    void Say();
    void SetIcons();
    int Px(double twips) const;

    Win32Desktop desktop_;
    frmMain game_;
    PlayerInput input_{game_};
    HINSTANCE instance_;
    HWND window_ = nullptr;
    HACCEL accelerators_ = nullptr;
    std::array<HWND, 9> rings_{};
    std::array<HWND, 4> options_{};
    HWND status_ = nullptr;
    HWND outline_ = nullptr;
    HWND hintText_ = nullptr;
    HWND announcer_ = nullptr;
    HMENU solveItem_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    UINT dpi_ = 96;
    // What was last laid out and drawn, so that a refresh changes only what changed.
    int centrings_ = 0;
    int laidOutWidth_ = 0;
    UINT laidOutDpi_ = 0;
    int paintedBoard_ = -1;
    int hintedRing_ = 0;
    int outlineRing_ = 0;
    std::array<std::wstring, 3> panels_;
    std::wstring hintShown_;
    bool clockOn_ = false;
    bool releasing_ = false; // our own ReleaseCapture, not a lost capture
    POINT grab_{};
    std::wstring toSay_;
};

} // namespace pylons
