// Lists what a Windows screen reader reaches of the game's main window: every visible control
// with its class and name, and the status bar's panels. Exits 1 when a control has no name.
//
//   list_controls.exe "Pylons - Level 3"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

int nameless = 0;

std::wstring TextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

BOOL CALLBACK ListOne(HWND control, LPARAM) {
    if (!IsWindowVisible(control)) {
        return TRUE;
    }
    wchar_t kind[64] = {};
    GetClassNameW(control, kind, 64);
    RECT place{};
    GetWindowRect(control, &place);
    if (std::wstring(kind) == STATUSCLASSNAMEW) {
        // The panels' texts are read into the game's own memory, as a screen reader's helper
        // does: a status bar takes no pointer into another program.
        DWORD pid = 0;
        GetWindowThreadProcessId(control, &pid);
        HANDLE game =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        void* remote = game != nullptr
                           ? VirtualAllocEx(game, nullptr, 512, MEM_COMMIT, PAGE_READWRITE)
                           : nullptr;
        const auto parts = static_cast<int>(SendMessageW(control, SB_GETPARTS, 0, 0));
        for (int part = 0; part < parts && remote != nullptr; ++part) {
            wchar_t text[256] = {};
            SendMessageW(control, SB_GETTEXTW, static_cast<WPARAM>(part),
                         reinterpret_cast<LPARAM>(remote));
            ReadProcessMemory(game, remote, text, sizeof text - sizeof(wchar_t), nullptr);
            std::wprintf(L"status panel %d: %ls\n", part + 1, text);
            nameless += text[0] == L'\0' ? 1 : 0;
        }
        if (remote == nullptr) {
            std::wprintf(L"status panels: cannot be read\n");
            ++nameless;
        } else {
            VirtualFreeEx(game, remote, 0, MEM_RELEASE);
        }
        if (game != nullptr) {
            CloseHandle(game);
        }
        return TRUE;
    }
    if (place.right <= place.left || place.bottom <= place.top) {
        return TRUE; // nothing a player or a screen reader can reach
    }
    const std::wstring name = TextOf(control);
    std::wprintf(L"%ls: %ls\n", kind, name.empty() ? L"(no name)" : name.c_str());
    nameless += name.empty() ? 1 : 0;
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputws(L"usage: list_controls.exe TITLE\n", stderr);
        return 2;
    }
    HWND window = nullptr;
    for (int attempt = 0; attempt < 100 && window == nullptr; ++attempt) {
        window = FindWindowW(nullptr, argv[1]);
        if (window == nullptr) {
            Sleep(100);
        }
    }
    if (window == nullptr) {
        std::fwprintf(stderr, L"no window named %ls\n", argv[1]);
        return 2;
    }
    std::wprintf(L"window: %ls\n", TextOf(window).c_str());
    EnumChildWindows(window, ListOne, 0);
    std::fflush(stdout);
    return nameless == 0 ? 0 : 1;
}
