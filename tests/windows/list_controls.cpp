// Lists what a Windows screen reader reaches of the game's main window: every visible control
// with its class and name, and the status bar's panels. Exits 1 when a control has no name.
//
//   list_controls.exe "Pylons - Level 3"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

int nameless = 0;

// A control's text as a screen reader asks for it: WM_GETTEXT, which the control answers with
// what it shows now (GetWindowText would give another program's edit box its first text only).
std::wstring TextOf(HWND control) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(std::min<std::size_t>(static_cast<std::size_t>(copied), text.size() - 1));
    return text;
}

// A piece of memory in the program that owns a control: the common controls take no pointer
// into another program, so a screen reader's helper lets them write their texts there and reads
// them back.
class RemoteBuffer {
public:
    RemoteBuffer(HWND control, std::size_t bytes) {
        DWORD pid = 0;
        GetWindowThreadProcessId(control, &pid);
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_ != nullptr) {
            at_ = static_cast<char*>(
                VirtualAllocEx(process_, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE));
        }
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer() {
        if (at_ != nullptr) {
            VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
        }
        if (process_ != nullptr) {
            CloseHandle(process_);
        }
    }

    explicit operator bool() const { return at_ != nullptr; }
    // Where `offset` is in the other program, to hand to a control.
    char* At(std::size_t offset) const { return at_ + offset; }
    void Write(std::size_t offset, const void* data, std::size_t bytes) const {
        WriteProcessMemory(process_, At(offset), data, bytes, nullptr);
    }
    // The text at `offset`, at most `chars` characters.
    std::wstring Text(std::size_t offset, std::size_t chars) const {
        std::wstring text(chars + 1, L'\0');
        ReadProcessMemory(process_, At(offset), text.data(), chars * sizeof(wchar_t), nullptr);
        text.resize(text.find(L'\0'));
        return text;
    }

private:
    HANDLE process_ = nullptr;
    char* at_ = nullptr;
};

// A report list's rows.
void ListRows(HWND list) {
    constexpr std::size_t kTextChars = 256;
    const RemoteBuffer remote(list, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t));
    if (!remote) {
        std::wprintf(L"rows: cannot be read\n");
        return;
    }
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const auto columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    const auto rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        std::wstring line;
        for (int column = 0; column < columns; ++column) {
            LVITEMW item{};
            item.iSubItem = column;
            item.cchTextMax = static_cast<int>(kTextChars);
            item.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(LVITEMW)));
            remote.Write(0, &item, sizeof item);
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(remote.At(0)));
            line += (column == 0 ? L"" : L" | ") + remote.Text(sizeof(LVITEMW), kTextChars - 1);
        }
        std::wprintf(L"row %d: %ls\n", row + 1, line.c_str());
    }
}

// The status bar's panels.
void ListPanels(HWND status) {
    constexpr std::size_t kTextChars = 256;
    const RemoteBuffer remote(status, kTextChars * sizeof(wchar_t));
    if (!remote) {
        std::wprintf(L"status panels: cannot be read\n");
        ++nameless;
        return;
    }
    const auto parts = static_cast<int>(SendMessageW(status, SB_GETPARTS, 0, 0));
    for (int part = 0; part < parts; ++part) {
        SendMessageW(status, SB_GETTEXTW, static_cast<WPARAM>(part),
                     reinterpret_cast<LPARAM>(remote.At(0)));
        const std::wstring text = remote.Text(0, kTextChars - 1);
        std::wprintf(L"status panel %d: %ls\n", part + 1, text.c_str());
        nameless += text.empty() ? 1 : 0;
    }
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
        ListPanels(control);
        return TRUE;
    }
    if (place.right <= place.left || place.bottom <= place.top) {
        return TRUE; // nothing a player or a screen reader can reach
    }
    const std::wstring name = TextOf(control);
    // Where it is on the screen, so that a player's script can click it.
    std::wprintf(L"%ls: %ls @ %ld,%ld\n", kind, name.empty() ? L"(no name)" : name.c_str(),
                 (place.left + place.right) / 2, (place.top + place.bottom) / 2);
    nameless += name.empty() ? 1 : 0;
    if (std::wstring(kind) == WC_LISTVIEWW) {
        ListRows(control);
    }
    return TRUE;
}

struct Search {
    std::wstring title;
    HWND found = nullptr;
};

// A top-level window of this title, trailing spaces aside (an installer's pages add one).
BOOL CALLBACK MatchTitle(HWND window, LPARAM search) {
    auto* wanted = reinterpret_cast<Search*>(search);
    std::wstring title = TextOf(window);
    title.erase(title.find_last_not_of(L' ') + 1);
    if (IsWindowVisible(window) && title == wanted->title) {
        wanted->found = window;
        return FALSE;
    }
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
        Search search{argv[1]};
        EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
        window = search.found;
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
