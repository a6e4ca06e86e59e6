// The Windows game's main window driven from inside its own process, for what cannot be done to
// it from outside under wine: a move to a screen of another DPI (wine gives every screen the
// same one) and the mouse capture taken away in the middle of a drag. Run under wine on the
// end-to-end player's desktop.

#include "win32/main_window.h"
#include "windows/check.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

std::vector<HWND> Children(HWND parent, const wchar_t* windowClass) {
    struct Search {
        const wchar_t* windowClass;
        std::vector<HWND> found;
    } search{windowClass, {}};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (ClassOf(child) == s->windowClass) {
                s->found.push_back(child);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A child's place in its parent's client area.
RECT PlaceOf(HWND child) {
    RECT place{};
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

int Width(const RECT& r) {
    return r.right - r.left;
}
int Height(const RECT& r) {
    return r.bottom - r.top;
}
bool Near(int value, int expected, int slack) {
    return std::abs(value - expected) <= slack;
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

// The side of the window's big icon: its own, or its class's where it has none.
int IconSide(HWND window) {
    auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    if (icon == nullptr) {
        icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
    }
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        return 0;
    }
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

struct Board {
    HWND main;
    std::vector<HWND> rings, options;
    HWND status;
    HWND outline;

    explicit Board(HWND window)
        : main(window), rings(Children(window, L"PylonsRing")),
          options(Children(window, L"Button")), status(Children(window, STATUSCLASSNAMEW).at(0)),
          outline(Children(window, L"PylonsOutline").at(0)) {}

    RECT Client() const {
        RECT client{};
        GetClientRect(main, &client);
        return client;
    }
    std::wstring Panel(int index) const {
        wchar_t text[128] = {};
        SendMessageW(status, SB_GETTEXTW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text));
        return text;
    }
    // The ring a player can take now: the one whose name says so.
    HWND FreeRing() const {
        for (HWND ring : rings) {
            const std::wstring name = TextOf(ring);
            if (IsWindowVisible(ring) && name.ends_with(L"can be moved")) {
                return ring;
            }
        }
        return nullptr;
    }
    // A point over pole 2 (below its option button), in the ring's own coordinates.
    LPARAM OverPole2(HWND ring) const {
        const RECT option = PlaceOf(options.at(1));
        POINT at{(option.left + option.right) / 2, option.bottom + 60};
        MapWindowPoints(main, ring, &at, 1);
        return MAKELPARAM(at.x, at.y);
    }
};

// At twice the DPI every part of the window is laid out at twice its size and place, its icon
// is taken at the new size, and back at the first DPI everything is as it was.
void MovedToAnotherDpi(const Board& board) {
    const int dpi = static_cast<int>(GetDpiForWindow(board.main));
    const RECT client = board.Client();
    const RECT ring = PlaceOf(board.rings.at(0));
    const RECT option = PlaceOf(board.options.at(0));
    const RECT status = PlaceOf(board.status);
    const int icon = IconSide(board.main);

    const auto moveTo = [&](int to) {
        RECT suggested{};
        GetWindowRect(board.main, &suggested);
        suggested.right = suggested.left + Width(suggested) * to / dpi;
        suggested.bottom = suggested.top + Height(suggested) * to / dpi;
        SendMessageW(board.main, WM_DPICHANGED, MAKEWPARAM(to, to),
                     reinterpret_cast<LPARAM>(&suggested));
        Pump();
    };
    moveTo(2 * dpi);
    CHECK(Near(Width(board.Client()), 2 * Width(client), 2));
    // Wine draws the frame at one size for every DPI, so the client may come out taller.
    CHECK(Height(board.Client()) >= 2 * Height(client) - 2);
    const RECT bigRing = PlaceOf(board.rings.at(0));
    CHECK(Near(bigRing.left, 2 * ring.left, 1) && Near(bigRing.top, 2 * ring.top, 1));
    CHECK(Near(Width(bigRing), 2 * Width(ring), 1) && Near(Height(bigRing), 2 * Height(ring), 1));
    CHECK(Near(PlaceOf(board.options.at(0)).left, 2 * option.left, 1));
    CHECK(Near(PlaceOf(board.status).top, 2 * status.top, 1));
    CHECK(Near(Height(PlaceOf(board.status)), 2 * Height(status), 1));
    CHECK(IconSide(board.main) == GetSystemMetricsForDpi(SM_CXICON, static_cast<UINT>(2 * dpi)));
    CHECK(IconSide(board.main) > icon);

    moveTo(dpi);
    const RECT clientAgain = board.Client();
    CHECK(EqualRect(&client, &clientAgain));
    const RECT ringAgain = PlaceOf(board.rings.at(0));
    CHECK(EqualRect(&ring, &ringAgain));
    const RECT statusAgain = PlaceOf(board.status);
    CHECK(EqualRect(&status, &statusAgain));
    CHECK(IconSide(board.main) == icon);
}

// A ring lifted and carried over pole 2, then the capture taken away (as another window that
// takes the mouse does): the ring is back at its place, its outline gone, nothing moved or
// counted, and the button's release later drops nothing. Carried the same way and released,
// it moves: the first half is not a drag that could never work.
void CaptureTakenAway(const Board& board) {
    HWND ring = board.FreeRing();
    CHECK(ring != nullptr);
    if (ring == nullptr) {
        return;
    }
    const RECT before = PlaceOf(ring);
    const std::wstring moves = board.Panel(0);
    const std::wstring name = TextOf(ring);

    SendMessageW(ring, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    CHECK(GetCapture() == ring);
    SendMessageW(ring, WM_MOUSEMOVE, MK_LBUTTON, board.OverPole2(ring));
    Pump();
    CHECK(IsWindowVisible(board.outline));

    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    SetCapture(other);
    Pump();
    CHECK(!IsWindowVisible(board.outline));
    const RECT after = PlaceOf(ring);
    CHECK(EqualRect(&before, &after));
    CHECK(TextOf(ring) == name);
    CHECK(board.Panel(0) == moves);
    ReleaseCapture();
    DestroyWindow(other);
    SendMessageW(ring, WM_LBUTTONUP, 0, board.OverPole2(ring));
    Pump();
    CHECK(board.Panel(0) == moves);
    CHECK(TextOf(ring) == name);

    SendMessageW(ring, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageW(ring, WM_MOUSEMOVE, MK_LBUTTON, board.OverPole2(ring));
    SendMessageW(ring, WM_LBUTTONUP, 0, board.OverPole2(ring));
    Pump();
    CHECK(board.Panel(0) != moves);
    CHECK(TextOf(ring).find(L"on pole 2") != std::wstring::npos);
    CHECK(GetCapture() == nullptr);
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const fs::path dir =
        fs::temp_directory_path() / (L"pylons-window-" + std::to_wstring(GetCurrentProcessId()));
    fs::create_directories(dir);
    {
        pylons::Win32MainWindow window(GetModuleHandleW(nullptr), dir / L"HiScore.Dat");
        ShowWindow(window.Handle(), SW_SHOWNORMAL);
        UpdateWindow(window.Handle());
        Pump();
        const Board board(window.Handle());
        CHECK(board.rings.size() == 9 && board.options.size() == 4);
        MovedToAnotherDpi(board);
        CaptureTakenAway(board);
        DestroyWindow(window.Handle());
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    return pylons::testing::Result();
}
