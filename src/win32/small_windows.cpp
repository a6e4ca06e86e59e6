#include "win32/small_windows.h"

#include "game/layout.h"
#include "game/links.h"
#include "game/text.h"
#include "game/texts.h"
#include "win32/dialog_template.h"
#include "win32/twips.h"
#include "win32/wide_text.h"

#include <commctrl.h>

namespace pylons {
namespace {

constexpr WORD kLevels = 101;
constexpr WORD kList = 102;
constexpr WORD kSite = 103;
constexpr WORD kMail = 104;
constexpr int kLevelListHeight = 1485; // the levels' list when opened, below its field

// A length in window units as pixels at the dialog's own DPI.
int Px(HWND dialog, int twips) {
    return TwipsToPixels(twips, GetDpiForWindow(dialog));
}

// Places a control in window units. A combo box's height is that of its open list as well.
void Place(HWND dialog, WORD id, const layout::Box& box, int listHeight = 0) {
    MoveWindow(GetDlgItem(dialog, id), Px(dialog, box.left), Px(dialog, box.top),
               Px(dialog, box.width), Px(dialog, box.height + listHeight), TRUE);
}

// The client area in window units, centred over the owner.
void SizeWindow(HWND dialog, int width, int height) {
    RECT outer{0, 0, Px(dialog, width), Px(dialog, height)};
    AdjustWindowRectExForDpi(&outer, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)),
                             FALSE, 0, GetDpiForWindow(dialog));
    RECT owner{};
    GetWindowRect(GetWindow(dialog, GW_OWNER), &owner);
    const int w = outer.right - outer.left;
    const int h = outer.bottom - outer.top;
    SetWindowPos(dialog, nullptr, (owner.left + owner.right - w) / 2,
                 (owner.top + owner.bottom - h) / 2, w, h, SWP_NOZORDER);
}

std::wstring WithoutTrailingBlanks(std::string_view text) {
    std::wstring wide = FromGameText(text);
    wide.erase(wide.find_last_not_of(L' ') + 1);
    return wide;
}

INT_PTR CALLBACK HiScoreProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* table = reinterpret_cast<const HiScoreTable*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SizeWindow(dialog, layout::hiscore::kWidth, layout::hiscore::kHeight);
        Place(dialog, 0xFFFF, layout::hiscore::kLabel);
        Place(dialog, kLevels, layout::hiscore::kLevels, kLevelListHeight);
        Place(dialog, kList, layout::hiscore::kList);
        Place(dialog, IDOK, layout::hiscore::kOk);
        HWND levels = GetDlgItem(dialog, kLevels);
        for (int level = 3; level <= 9; ++level) {
            SendMessageW(levels, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(std::to_wstring(level).c_str()));
        }
        HWND list = GetDlgItem(dialog, kList);
        for (int column = 0; column < 3; ++column) {
            std::wstring caption =
                FromGameText(texts::kHiScoreColumns[static_cast<std::size_t>(column)]);
            LVCOLUMNW lv{};
            lv.mask = LVCF_TEXT | LVCF_WIDTH;
            lv.pszText = caption.data();
            lv.cx = Px(dialog, layout::hiscore::kColumnWidths[column]);
            SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                         reinterpret_cast<LPARAM>(&lv));
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == kLevels && HIWORD(wParam) == CBN_SELCHANGE) {
            const auto position =
                static_cast<int>(SendDlgItemMessageW(dialog, kLevels, CB_GETCURSEL, 0, 0));
            HWND list = GetDlgItem(dialog, kList);
            SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
            for (int place = 1; place <= 3 && position >= 0; ++place) {
                const HiScoreRecord& record = table->Record(position * 3 + place);
                std::wstring cells[3] = {WithoutTrailingBlanks(record.Name.View()),
                                         WithoutTrailingBlanks(record.Time.View()),
                                         FromGameText(NumberText(record.Moves))};
                LVITEMW item{};
                item.mask = LVIF_TEXT;
                item.iItem = place - 1;
                item.pszText = cells[0].data();
                SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
                for (int column = 1; column < 3; ++column) {
                    item.iSubItem = column;
                    item.pszText = cells[column].data();
                    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(place - 1),
                                 reinterpret_cast<LPARAM>(&item));
                }
            }
            return TRUE;
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* desktop = reinterpret_cast<Desktop*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SizeWindow(dialog, layout::about::kWidth, layout::about::kHeight);
        Place(dialog, 0xFFFE, layout::about::kTheme);
        Place(dialog, 0xFFFF, layout::about::kVersion);
        Place(dialog, kSite, layout::about::kWebSite);
        Place(dialog, kMail, layout::about::kEmail);
        Place(dialog, IDOK, layout::about::kOk);
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id == kSite || id == kMail) {
            SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 255));
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    }
    case WM_SETCURSOR: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(wParam));
        if (id == kSite || id == kMail) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        break;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == kSite && HIWORD(wParam) == STN_CLICKED) {
            desktop->ShellOpen(kWebSiteAddress);
            return TRUE;
        }
        if (LOWORD(wParam) == kMail && HIWORD(wParam) == STN_CLICKED) {
            desktop->ShellOpen(std::string(kMailtoPrefix) + std::string(kEmailAddress));
            return TRUE;
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace

void ShowHiScores(HWND owner, const HiScoreTable& table) {
    DialogTemplate dialog(FromGameText(texts::kHiScoreCaption), 100, 100);
    dialog.Add(DialogTemplate::kStatic, FromGameText(texts::kLevelLabel), SS_LEFT, 0, 0, 1, 1,
               0xFFFF);
    dialog.Add(DialogTemplate::kComboBox, L"", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, 0, 0, 1,
               1, kLevels);
    dialog.Add(0, L"", LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER | WS_BORDER | WS_TABSTOP, 0, 0,
               1, 1, kList, WC_LISTVIEWW);
    dialog.Add(DialogTemplate::kButton, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 0, 1, 1, IDOK);
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), owner, HiScoreProc,
                            reinterpret_cast<LPARAM>(&table));
}

void ShowAbout(HWND owner, Desktop& desktop) {
    DialogTemplate dialog(FromGameText(texts::kAboutCaption), 100, 100);
    dialog.Add(DialogTemplate::kStatic, FromGameText(texts::kAboutTheme), SS_CENTER, 0, 0, 1, 1,
               0xFFFE);
    dialog.Add(DialogTemplate::kStatic, FromGameText(texts::kAboutAuthor), SS_LEFT, 0, 0, 1, 1,
               0xFFFF);
    dialog.Add(DialogTemplate::kStatic, FromGameText(kWebSiteAddress), SS_LEFT | SS_NOTIFY, 0, 0, 1,
               1, kSite);
    dialog.Add(DialogTemplate::kStatic, FromGameText(kEmailAddress), SS_LEFT | SS_NOTIFY, 0, 0, 1,
               1, kMail);
    dialog.Add(DialogTemplate::kButton, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 0, 1, 1, IDOK);
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), owner, AboutProc,
                            reinterpret_cast<LPARAM>(&desktop));
}

} // namespace pylons
