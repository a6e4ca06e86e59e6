// A bare Win32 window with the game's frame and client size at level 3 and a menu bar, which
// exits once it has painted its first frame: what any Windows program costs to start, for the
// Windows benchmark to set the game against.

#include <windows.h>

namespace {

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
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
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}
