#include "win32/main_window.h"

#include "game/layout.h"
#include "game/texts.h"
#include "win32/small_windows.h"
#include "win32/twips.h"
#include "win32/wide_text.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>

namespace pylons {
namespace {

constexpr wchar_t kWindowClass[] = L"PylonsMain";
constexpr wchar_t kRingClass[] = L"PylonsRing";
constexpr wchar_t kOutlineClass[] = L"PylonsOutline";
constexpr UINT_PTR kClockTimer = 1;
constexpr UINT_PTR kSolveTimer = 2;
constexpr UINT_PTR kHintTimer = 3;
constexpr int kCommandBase = 1000;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
#ifndef EVENT_OBJECT_LIVEREGIONCHANGED
constexpr DWORD EVENT_OBJECT_LIVEREGIONCHANGED = 0x8019;
#endif

const COLORREF kPoleColour = RGB(150, 100, 55);
const COLORREF kHintPole = RGB(235, 180, 20);
const COLORREF kHintFrame = RGB(0, 70, 200);

// "Ctrl+Shift+Z" as an accelerator.
ACCEL Accelerator(std::string_view keys, WORD command) {
    ACCEL accel{FVIRTKEY, 0, command};
    for (std::size_t start = 0; start < keys.size();) {
        const std::size_t plus = keys.find('+', start);
        const std::string_view part = keys.substr(
            start, plus == std::string_view::npos ? std::string_view::npos : plus - start);
        if (part == "Ctrl") {
            accel.fVirt |= FCONTROL;
        } else if (part == "Shift") {
            accel.fVirt |= FSHIFT;
        } else if (part == "Alt") {
            accel.fVirt |= FALT;
        } else if (part.size() == 1) {
            accel.key = static_cast<WORD>(part[0]);
        }
        start = plus == std::string_view::npos ? keys.size() : plus + 1;
    }
    return accel;
}

// Sets a control's text only when it changes: each change is a name change that a screen reader
// may speak again.
void SetText(HWND control, const std::wstring& text) {
    std::wstring shown(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    shown.resize(static_cast<std::size_t>(
        GetWindowTextW(control, shown.data(), static_cast<int>(shown.size()))));
    if (shown != text) {
        SetWindowTextW(control, text.c_str());
    }
}

// Moves a control only when its place changes, so that nothing repaints that stays as it was.
void Place(HWND control, HWND parent, int left, int top, int width, int height) {
    RECT now{};
    GetWindowRect(control, &now);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&now), 2);
    if (now.left != left || now.top != top || now.right - now.left != width ||
        now.bottom - now.top != height) {
        // Drawn afresh where it lands: its old pixels may hold the outline above it.
        SetWindowPos(control, nullptr, left, top, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }
}

// The .exe's icon at the size a system metric (SM_CXICON, SM_CXSMICON) has at a DPI.
HICON IconAt(HINSTANCE instance, int metric, UINT dpi) {
    const int side = GetSystemMetricsForDpi(metric, dpi);
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, side, side, 0));
}

Win32MainWindow* Owner(HWND window) {
    return reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

} // namespace

Win32MainWindow::Win32MainWindow(HINSTANCE instance, const std::filesystem::path& hiScoreFile)
    : game_(desktop_, hiScoreFile), instance_(instance) {
    WNDCLASSEXW main{};
    main.cbSize = sizeof main;
    main.lpfnWndProc = WindowProc;
    main.hInstance = instance;
    main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    main.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    // The icons at the sizes the system's DPI asks for; a window on a screen of another DPI
    // sets its own.
    main.hIcon = IconAt(instance, SM_CXICON, GetDpiForSystem());
    main.hIconSm = IconAt(instance, SM_CXSMICON, GetDpiForSystem());
    main.lpszClassName = kWindowClass;
    RegisterClassExW(&main);
    WNDCLASSEXW ring{};
    ring.cbSize = sizeof ring;
    ring.lpfnWndProc = RingProc;
    ring.hInstance = instance;
    ring.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    ring.lpszClassName = kRingClass;
    RegisterClassExW(&ring);
    WNDCLASSEXW outline{};
    outline.cbSize = sizeof outline;
    outline.lpfnWndProc = OutlineProc;
    outline.hInstance = instance;
    outline.lpszClassName = kOutlineClass;
    RegisterClassExW(&outline);

    window_ =
        CreateWindowExW(0, kWindowClass, FromGameText(texts::kTitle).c_str(), kStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, 400, 300, nullptr, BuildMenus(), instance, this);
    dpi_ = GetDpiForWindow(window_);
    if (dpi_ != GetDpiForSystem()) {
        SetIcons();
    }
    desktop_.SetOwner(window_);
    desktop_.BeforeDialogs([this] { Refresh(); });
    desktop_.OnAnnounce(
        [this](const std::wstring& words) { toSay_ += (toSay_.empty() ? L"" : L". ") + words; });
    CreateControls();

    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    game_.Screen = {PixelsToTwips(work.right - work.left, dpi_),
                    PixelsToTwips(work.bottom - work.top, dpi_)};
    RECT outer{0, 0, 100, Px(layout::kClientHeight)};
    AdjustWindowRectExForDpi(&outer, kStyle, TRUE, 0, dpi_);
    game_.Window.Height = PixelsToTwips(outer.bottom - outer.top, dpi_);
    game_.Form_Load();
    Refresh();
}

// The window's icons, taken from the .exe's icon at the sizes the window's DPI asks for.
void Win32MainWindow::SetIcons() {
    HICON big = IconAt(instance_, SM_CXICON, dpi_);
    HICON small = IconAt(instance_, SM_CXSMICON, dpi_);
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    for (HICON old : {bigIcon_, smallIcon_}) {
        if (old != nullptr) {
            DestroyIcon(old);
        }
    }
    bigIcon_ = big;
    smallIcon_ = small;
}

int Win32MainWindow::Px(double twips) const {
    return TwipsToPixels(twips, dpi_);
}

HMENU Win32MainWindow::BuildMenus() {
    HMENU bar = CreateMenu();
    std::vector<ACCEL> accelerators;
    for (const texts::Menu& menu : texts::Menus()) {
        HMENU popup = CreatePopupMenu();
        for (const texts::MenuItem& item : menu.items) {
            if (item.separatorBefore) {
                AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            }
            const auto id = static_cast<WORD>(kCommandBase + static_cast<int>(item.command));
            std::wstring caption = FromGameText(item.caption);
            if (!item.shortcut.empty()) {
                caption += L"\t" + FromGameText(item.shortcut);
                accelerators.push_back(Accelerator(item.shortcut, id));
            }
            AppendMenuW(popup, MF_STRING, id, caption.c_str());
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                    FromGameText(menu.caption).c_str());
    }
    accelerators_ =
        CreateAcceleratorTableW(accelerators.data(), static_cast<int>(accelerators.size()));
    return bar;
}

void Win32MainWindow::CreateControls() {
    for (int p = 1; p <= 4; ++p) {
        options_[static_cast<std::size_t>(p - 1)] =
            CreateWindowExW(0, L"BUTTON", FromGameText(texts::PoleName(p)).c_str(),
                            WS_CHILD | BS_RADIOBUTTON | WS_DISABLED, 0, 0, 0, 0, window_, nullptr,
                            instance_, nullptr);
    }
    // Created after the buttons, and above the poles the window paints itself.
    for (int n = 1; n <= 9; ++n) {
        HWND ring = CreateWindowExW(0, kRingClass, L"", WS_CHILD, 0, 0, 0, 0, window_, nullptr,
                                    instance_, nullptr);
        SetWindowLongPtrW(ring, GWLP_USERDATA, n);
        rings_[static_cast<std::size_t>(n - 1)] = ring;
    }
    status_ =
        CreateWindowExW(0, STATUSCLASSNAMEW, L"",
                        WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0,
                        0, 0, 0, window_, nullptr, instance_, nullptr);
    hintText_ = CreateWindowExW(WS_EX_TRANSPARENT, L"STATIC", L"",
                                WS_CHILD | SS_CENTER | SS_CENTERIMAGE | WS_BORDER, 0, 0, 0, 0,
                                window_, nullptr, instance_, nullptr);
    announcer_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_,
                                 nullptr, instance_, nullptr);
    outline_ = CreateWindowExW(WS_EX_TRANSPARENT, kOutlineClass, L"", WS_CHILD, 0, 0, 0, 0, window_,
                               nullptr, instance_, nullptr);
}

void Win32MainWindow::PlaceWindow() {
    const int client = Px(game_.Window.Width);
    // The window is laid out afresh only for a new width (a level of four poles), a new DPI or
    // a level start that centres it.
    if (client == laidOutWidth_ && dpi_ == laidOutDpi_ && centrings_ == game_.Window.Centrings) {
        return;
    }
    laidOutWidth_ = client;
    laidOutDpi_ = dpi_;
    RECT outer{0, 0, client, Px(layout::kClientHeight)};
    AdjustWindowRectExForDpi(&outer, kStyle, TRUE, 0, dpi_);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    int left = 0;
    int top = 0;
    if (centrings_ != game_.Window.Centrings) {
        centrings_ = game_.Window.Centrings;
        left = work.left + Px(game_.Window.Left);
        top = work.top + Px(game_.Window.Top);
    } else {
        flags |= SWP_NOMOVE;
    }
    SetWindowPos(window_, nullptr, left, top, outer.right - outer.left, outer.bottom - outer.top,
                 flags);

    // An option button is its round mark alone (drawn at its left): no wider than the mark at
    // this DPI, so that its name, which a screen reader reads, is never drawn beside it.
    const int square = Px(layout::kOptionSize);
    const int mark = std::min(square, GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi_));
    for (int p = 1; p <= 4; ++p) {
        MoveWindow(options_[static_cast<std::size_t>(p - 1)], Px(layout::kOptionLefts[p - 1]),
                   Px(layout::kOptionTop), mark, square, TRUE);
    }
    MoveWindow(status_, 0, Px(layout::kStatusBarTop), client, Px(layout::kStatusBarHeight), TRUE);
    // Panel 2 gives way so that the three fit.
    const int first = Px(layout::kPanel1);
    const int third = Px(layout::kPanel3);
    const int second =
        std::clamp(client - first - third, Px(layout::kPanel2Least), Px(layout::kPanel2));
    int edges[3] = {first, first + second, first + second + third};
    SendMessageW(status_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    MoveWindow(hintText_, 4, Px(layout::kPoleTop) + 8, client - 8, Px(300), TRUE);
    InvalidateRect(window_, nullptr, TRUE);
}

void Win32MainWindow::Refresh() {
    SetText(window_, FromGameText(game_.Window.Caption));
    PlaceWindow();
    const auto& hint = game_.ShownHint;
    // The poles are painted by the window itself: again when one shows or hides, or the hint's
    // pole changes.
    int board = hint ? hint->pole : 0;
    for (int p = 1; p <= 4; ++p) {
        board = board * 2 + (game_.shpPaal[static_cast<std::size_t>(p - 1)].Visible ? 1 : 0);
    }
    if (board != paintedBoard_) {
        paintedBoard_ = board;
        InvalidateRect(window_, nullptr, TRUE);
    }
    const int hintedRing = hint ? hint->ring : 0;
    for (int p = 1; p <= 4; ++p) {
        HWND option = options_[static_cast<std::size_t>(p - 1)];
        SendMessageW(option, BM_SETCHECK, game_.optPaal[p].Value ? BST_CHECKED : BST_UNCHECKED, 0);
        ShowWindow(option, game_.optPaal[p].Visible ? SW_SHOWNA : SW_HIDE);
    }
    for (int n = 1; n <= 9; ++n) {
        const PictureBox& picture = game_.picRing[static_cast<std::size_t>(n - 1)];
        HWND ring = rings_[static_cast<std::size_t>(n - 1)];
        Place(ring, window_, Px(picture.Left), Px(picture.Top), Px(picture.Width),
              Px(picture.Height));
        if (picture.Visible) {
            SetText(ring, FromGameText(game_.RingDescription(n)));
        }
        ShowWindow(ring, picture.Visible ? SW_SHOWNA : SW_HIDE);
        if (n == hintedRing || n == hintedRing_) {
            InvalidateRect(ring, nullptr, FALSE); // its hint frame comes or goes
        }
    }
    hintedRing_ = hintedRing;
    for (std::size_t panel = 0; panel < panels_.size(); ++panel) {
        const std::wstring text = FromGameText(game_.stbStatusBar.panels[panel].Text);
        if (text != panels_[panel]) {
            panels_[panel] = text;
            SendMessageW(status_, SB_SETTEXTW, panel, reinterpret_cast<LPARAM>(text.c_str()));
        }
    }
    if (game_.timElapsed.Enabled != clockOn_) {
        clockOn_ = game_.timElapsed.Enabled;
        if (clockOn_) {
            SetTimer(window_, kClockTimer, static_cast<UINT>(game_.timElapsed.Interval), nullptr);
        } else {
            KillTimer(window_, kClockTimer);
        }
    }
    // A new hint shows for its time from the start; one taken away stops its timer.
    const std::wstring hintWords = FromGameText(game_.HintText());
    if (hintWords != hintShown_) {
        hintShown_ = hintWords;
        SetText(hintText_, hintWords);
        ShowWindow(hintText_, hint ? SW_SHOWNA : SW_HIDE);
        if (hint) {
            SetTimer(window_, kHintTimer, PlayerInput::kHintShowsMs, nullptr);
        } else {
            KillTimer(window_, kHintTimer);
        }
    }
    HMENU menu = GetMenu(window_);
    const auto enable = [&](texts::Command command, bool on) {
        EnableMenuItem(menu, static_cast<UINT>(kCommandBase + static_cast<int>(command)),
                       static_cast<UINT>(MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)));
    };
    enable(texts::Command::Undo, game_.CanUndo());
    enable(texts::Command::Redo, game_.CanRedo());
    enable(texts::Command::Hint, game_.CanSolve());
    enable(texts::Command::Solve, game_.CanSolve() && !input_.Solving());
    ShowOutline();
    Say();
    if (game_.Unloaded) {
        CancelDrag();
        StopSolving();
        KillTimer(window_, kClockTimer);
        DestroyWindow(window_);
    }
}

void Win32MainWindow::Say() {
    if (toSay_.empty() || !IsWindowVisible(window_)) {
        return;
    }
    SetWindowTextW(announcer_, toSay_.c_str());
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, announcer_, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, announcer_, OBJID_CLIENT, CHILDID_SELF);
    toSay_.clear();
}

void Win32MainWindow::HideOutline() {
    if (!IsWindowVisible(outline_)) {
        return;
    }
    // The rings and poles it lay over are drawn again where its frame was.
    RECT covered{};
    GetWindowRect(outline_, &covered);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&covered), 2);
    ShowWindow(outline_, SW_HIDE);
    RedrawWindow(window_, &covered, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32MainWindow::ShowOutline() {
    const auto& lift = input_.Lifted();
    if (!lift) {
        HideOutline();
        outlineRing_ = 0;
        return;
    }
    const PictureBox& picture = game_.picRing[static_cast<std::size_t>(lift->ring - 1)];
    const int width = Px(picture.Width);
    const int height = Px(picture.Height);
    if (lift->byKeyboard) {
        MoveWindow(outline_, Px(lift->OutlineLeft), Px(lift->OutlineTop), width, height, TRUE);
    }
    if (lift->ring == outlineRing_ && IsWindowVisible(outline_)) {
        return; // a drag moves it; nothing else about it changes
    }
    outlineRing_ = lift->ring;
    // Only the frame shows: the board stays visible through it.
    HRGN frame = CreateRectRgn(0, 0, width, height);
    HRGN inside = CreateRectRgn(2, 2, width - 2, height - 2);
    CombineRgn(frame, frame, inside, RGN_DIFF);
    DeleteObject(inside);
    SetWindowRgn(outline_, frame, TRUE);
    SetText(outline_, FromGameText(texts::LiftedOutline(lift->ring)));
    SetWindowPos(outline_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

void Win32MainWindow::PaintBoard(HDC dc) {
    const auto& hint = game_.ShownHint;
    for (int p = 1; p <= 4; ++p) {
        if (!game_.shpPaal[static_cast<std::size_t>(p - 1)].Visible) {
            continue;
        }
        const RECT pole{Px(layout::kPoleLefts[p - 1]), Px(layout::kPoleTop),
                        Px(layout::kPoleLefts[p - 1] + layout::kPoleWidth),
                        Px(layout::kPoleTop + layout::kPoleHeight)};
        HBRUSH brush = CreateSolidBrush(hint && hint->pole == p ? kHintPole : kPoleColour);
        FillRect(dc, &pole, brush);
        DeleteObject(brush);
    }
}

bool Win32MainWindow::OverWindowSurface(POINT client) const {
    RECT area{};
    GetClientRect(window_, &area);
    if (!PtInRect(&area, client)) {
        return false;
    }
    // The outline lets the mouse through; the poles are the window's own surface.
    HWND under = ChildWindowFromPointEx(window_, client, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    return under == window_ || std::find(options_.begin(), options_.end(), under) != options_.end();
}

void Win32MainWindow::EndDrag(bool drop, POINT client) {
    const bool over = drop && OverWindowSurface(client);
    HideOutline();
    releasing_ = true;
    ReleaseCapture();
    releasing_ = false;
    // The drag is over before the game runs the drop: finishing a level opens message boxes.
    input_.Release(over);
    Refresh();
}

void Win32MainWindow::CancelDrag() {
    input_.Cancel();
    HideOutline();
    if (GetCapture() != nullptr) {
        releasing_ = true;
        ReleaseCapture();
        releasing_ = false;
    }
}

void Win32MainWindow::StopSolving() {
    input_.PlayerActed();
    KillTimer(window_, kSolveTimer);
}

void Win32MainWindow::Command(int command) {
    switch (static_cast<texts::Command>(command)) {
    case texts::Command::Save:
        game_.mnuSave_Click();
        break;
    case texts::Command::Load:
        game_.mnuLoad_Click();
        break;
    case texts::Command::HiScore:
        ShowHiScores(window_, game_.HiScores);
        break;
    case texts::Command::Quit:
        game_.mnuQuit_Click();
        break;
    case texts::Command::Undo:
        input_.Undo();
        break;
    case texts::Command::Redo:
        input_.Redo();
        break;
    case texts::Command::Restart:
        input_.Restart();
        break;
    case texts::Command::Hint:
        input_.Hint();
        break;
    case texts::Command::Solve:
        CancelDrag();
        if (input_.StartSolving()) {
            SetTimer(window_, kSolveTimer, PlayerInput::kSolveStepMs, nullptr);
        }
        break;
    case texts::Command::Web:
        game_.mnuWeb_Click();
        break;
    case texts::Command::About:
        ShowAbout(window_, desktop_);
        break;
    }
    Refresh();
}

LRESULT Win32MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) >= kCommandBase && LOWORD(wParam) <= kCommandBase + 10) {
            if (HIWORD(wParam) == 1 && input_.Solving()) {
                StopSolving(); // a key stops the solver; its accelerator does the rest
            }
            Command(LOWORD(wParam) - kCommandBase);
            return 0;
        }
        break;
    case WM_INITMENUPOPUP:
        StopSolving(); // opening any menu stops the solver where it is
        break;
    case WM_KEYDOWN: {
        if (input_.Solving()) {
            StopSolving(); // any key stops the solver where it is
        }
        const bool plain = GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0;
        int pole = 0;
        if (wParam >= '1' && wParam <= '4') {
            pole = static_cast<int>(wParam - '0');
        } else if (wParam >= VK_NUMPAD1 && wParam <= VK_NUMPAD4) {
            pole = static_cast<int>(wParam - VK_NUMPAD1 + 1);
        }
        if (wParam == VK_ESCAPE) {
            if (!input_.Escape()) {
                CancelDrag(); // a ring the mouse holds goes back too
            }
        } else if (plain && pole != 0) {
            input_.PoleKey(pole);
        }
        Refresh();
        return 0;
    }
    case WM_LBUTTONDOWN:
        StopSolving(); // a click stops the solver where it is
        return 0;
    case WM_TIMER:
        if (wParam == kClockTimer) {
            // A tick after a finished level stopped the clock, while its messages are open,
            // counts nothing.
            if (game_.timElapsed.Enabled) {
                game_.timElapsed_Timer();
            }
        } else if (wParam == kSolveTimer) {
            KillTimer(window_, kSolveTimer); // the next step waits while this one runs
            if (input_.SolveStep()) {
                SetTimer(window_, kSolveTimer, PlayerInput::kSolveStepMs, nullptr);
            }
        } else if (wParam == kHintTimer) {
            input_.HintTimeUp();
        }
        Refresh();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            CancelDrag();
        } else if (!desktop_.InDialog()) {
            input_.FocusGained();
            Refresh();
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        PaintBoard(dc);
        EndPaint(window_, &paint);
#if defined(PYLONS_EXIT_ON_FIRST_PAINT)
        // The benchmark's build: the first whole frame, then out.
        RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        PostQuitMessage(0);
#endif
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == hintText_) {
            SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
            return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        }
        break;
    case WM_DPICHANGED: {
        dpi_ = HIWORD(wParam);
        SetIcons();
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        Refresh();
        return 0;
    }
    case WM_CLOSE:
        game_.mnuQuit_Click();
        Refresh();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT Win32MainWindow::OnRingMessage(int ring, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND self = rings_[static_cast<std::size_t>(ring - 1)];
    switch (message) {
    case WM_LBUTTONDOWN: {
        StopSolving();
        if (input_.Press(ring)) {
            grab_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            RECT place{};
            GetWindowRect(self, &place);
            MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
            MoveWindow(outline_, place.left, place.top, place.right - place.left,
                       place.bottom - place.top, TRUE);
            SetCapture(self);
        }
        Refresh();
        return 0;
    }
    case WM_MOUSEMOVE: {
        if (GetCapture() != self) {
            return 0;
        }
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        MapWindowPoints(self, window_, &at, 1);
        if (!(wParam & MK_LBUTTON)) {
            CancelDrag(); // the button came up where we did not see it
            Refresh();
            return 0;
        }
        SetWindowPos(outline_, HWND_TOP, at.x - grab_.x, at.y - grab_.y, 0, 0,
                     SWP_NOSIZE | SWP_NOACTIVATE);
        if (OverWindowSurface(at)) {
            input_.DragOver(static_cast<float>(PixelsToTwips(at.x, dpi_)));
            Refresh();
        }
        return 0;
    }
    case WM_LBUTTONUP: {
        if (GetCapture() != self) {
            return 0;
        }
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        MapWindowPoints(self, window_, &at, 1);
        if (OverWindowSurface(at)) {
            input_.DragOver(static_cast<float>(PixelsToTwips(at.x, dpi_)));
        }
        EndDrag(true, at);
        return 0;
    }
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        if (!releasing_ && input_.Lifted() && !input_.Lifted()->byKeyboard) {
            CancelDrag(); // the capture was taken away: the ring goes back
            Refresh();
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(self, &paint);
        RECT area{};
        GetClientRect(self, &area);
        const Rgb colour = game_.picRing[static_cast<std::size_t>(ring - 1)].BackColor;
        HBRUSH brush = CreateSolidBrush(RGB(colour.red, colour.green, colour.blue));
        FillRect(dc, &area, brush);
        DeleteObject(brush);
        DrawEdge(dc, &area, BDR_RAISEDINNER, BF_RECT);
        if (game_.ShownHint && game_.ShownHint->ring == ring) {
            HBRUSH frame = CreateSolidBrush(kHintFrame);
            for (int inset = 0; inset < 3; ++inset) {
                RECT edge = area;
                InflateRect(&edge, -inset, -inset);
                FrameRect(dc, &edge, frame);
            }
            DeleteObject(frame);
        }
        EndPaint(self, &paint);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(self, message, wParam, lParam);
}

LRESULT CALLBACK Win32MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<Win32MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    Win32MainWindow* self = Owner(window);
    if (self == nullptr || self->rings_[0] == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->OnMessage(message, wParam, lParam);
}

LRESULT CALLBACK Win32MainWindow::RingProc(HWND ring, UINT message, WPARAM wParam, LPARAM lParam) {
    Win32MainWindow* self = Owner(GetParent(ring));
    const auto number = static_cast<int>(GetWindowLongPtrW(ring, GWLP_USERDATA));
    if (self == nullptr || number < 1 || number > 9) {
        return DefWindowProcW(ring, message, wParam, lParam);
    }
    return self->OnRingMessage(number, message, wParam, lParam);
}

LRESULT CALLBACK Win32MainWindow::OutlineProc(HWND outline, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(outline, &paint);
        RECT area{};
        GetClientRect(outline, &area);
        FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(outline, &paint);
        return 0;
    }
    if (message == WM_NCHITTEST) {
        return HTTRANSPARENT;
    }
    return DefWindowProcW(outline, message, wParam, lParam);
}

} // namespace pylons
