// A bare Win32 window with the game's frame and client size at level 3 and a menu bar, which
// exits once it has painted its first frame: what any Windows program costs to start, for the
// Windows benchmark to set the game against. Built with PYLONS_BARE_CONTROLS (and the game's
// manifest) it also has the common controls 6 that the game's window is made of, a status bar of
// three panels and three option buttons: what Windows' own controls cost before any game.

#include <windows.h>

#include <commctrl.h>

namespace {

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
#if defined(PYLONS_BARE_CONTROLS)
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
#endif
    WNDCLASSEXW bare{};
    bare.cbSize = sizeof bare;
    bare.lpfnWndProc = BareProc;
    bare.hInstance = instance;
    bare.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    bare.lpszClassName = L"Bare";
    RegisterClassExW(&bare);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, 1, L"&File");
    RECT outer{0, 0, 267, 305};
    AdjustWindowRectEx(&outer, style, TRUE, 0);
    HWND window = CreateWindowExW(0, L"Bare", L"Bare", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr, menu,
                                  instance, nullptr);
#if defined(PYLONS_BARE_CONTROLS)
    HWND status = CreateWindowExW(0, STATUSCLASSNAMEW, L"",
                                  WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE, 0, 280,
                                  267, 25, window, nullptr, instance, nullptr);
    int edges[3] = {80, 187, 267};
    SendMessageW(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    for (int panel = 0; panel < 3; ++panel) {
        SendMessageW(status, SB_SETTEXTW, static_cast<WPARAM>(panel),
                     reinterpret_cast<LPARAM>(L"Panel"));
    }
    for (int button = 0; button < 3; ++button) {
        CreateWindowExW(0, L"BUTTON", L"Option",
                        WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_RADIOBUTTON, 32 + 88 * button, 8,
                        13, 17, window, nullptr, instance, nullptr);
    }
#endif
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}
