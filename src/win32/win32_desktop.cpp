#include "win32/win32_desktop.h"

#include "game/texts.h"
#include "win32/dialog_template.h"
#include "win32/wide_text.h"

#include <commdlg.h>
#include <shellapi.h>

namespace pylons {
namespace {

constexpr WORD kNameField = 100;

// The file dialogs and the shell are loaded when the player first needs them, not at every
// start: the game starts as fast as a bare window where it can.
template <typename Function> Function Loaded(const wchar_t* library, const char* name) {
    HMODULE module = LoadLibraryW(library);
    return module == nullptr
               ? nullptr
               : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

struct NamePrompt {
    std::wstring text;
};

INT_PTR CALLBACK NamePromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const auto* prompt = reinterpret_cast<const NamePrompt*>(lParam);
        SetDlgItemTextW(dialog, kNameField, prompt->text.c_str());
        SendDlgItemMessageW(dialog, kNameField, EM_SETSEL, 0, -1);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto* prompt = reinterpret_cast<NamePrompt*>(GetWindowLongPtrW(dialog, DWLP_USER));
            const HWND field = GetDlgItem(dialog, kNameField);
            std::wstring typed(static_cast<std::size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
            typed.resize(static_cast<std::size_t>(
                GetWindowTextW(field, typed.data(), static_cast<int>(typed.size()))));
            prompt->text = typed;
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace

MsgResult Win32Desktop::MsgBox(std::string_view text, MsgStyle style) {
    ShowOwner();
    const DialogOpen open(*this);
    const UINT kind = style == MsgStyle::Critical ? MB_ICONERROR | MB_OK
                      : style == MsgStyle::YesNo  ? MB_ICONINFORMATION | MB_YESNO
                                                  : MB_ICONINFORMATION | MB_OK;
    const int answer =
        MessageBoxW(owner_, FromGameText(text).c_str(), FromGameText(texts::kTitle).c_str(), kind);
    return answer == IDYES ? MsgResult::Yes : answer == IDNO ? MsgResult::No : MsgResult::Ok;
}

std::string Win32Desktop::InputBox(std::string_view prompt, std::string_view title,
                                   std::string_view defaultText) {
    ShowOwner();
    const DialogOpen open(*this);
    DialogTemplate dialog(FromGameText(title), 200, 66);
    dialog.Add(DialogTemplate::kStatic, FromGameText(prompt), SS_LEFT, 7, 7, 186, 10, 0xFFFF);
    dialog.Add(DialogTemplate::kEdit, L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 20, 186, 14,
               kNameField);
    dialog.Add(DialogTemplate::kButton, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 89, 44, 50, 14, IDOK);
    dialog.Add(DialogTemplate::kButton, L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 143, 44, 50, 14,
               IDCANCEL);
    // The name offered is the one typed last time, exactly, wherever the game offers its
    // single-byte form.
    const bool offeringLast = !lastTyped_.empty() && ToGameText(lastTyped_) == defaultText;
    NamePrompt answer{offeringLast ? lastTyped_ : FromGameText(defaultText)};
    lastTyped_.clear();
    if (DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), owner_, NamePromptProc,
                                reinterpret_cast<LPARAM>(&answer)) != IDOK) {
        return {};
    }
    lastTyped_ = answer.text;
    return ToGameText(lastTyped_);
}

void Win32Desktop::Beep() {
    MessageBeep(MB_OK);
}

std::optional<std::filesystem::path> Win32Desktop::ChooseFile(FileDialogMode mode,
                                                              const FileDialog& settings) {
    const DialogOpen open(*this);
    // "Pylons games|*.WIM" becomes the dialog's pairs of strings, each ended by a zero.
    std::wstring filter = FromGameText(settings.Filter);
    for (wchar_t& c : filter) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    const std::wstring title = FromGameText(settings.DialogTitle);
    const std::wstring extension = FromGameText(settings.DefaultExt);
    std::wstring name(32768, L'\0'); // as long as the system allows
    const std::wstring last = settings.FileName.wstring();
    last.copy(name.data(), std::min(last.size(), name.size() - 1));

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = extension.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (settings.PathMustExist) {
        dialog.Flags |= OFN_PATHMUSTEXIST;
    }
    BOOL chosen = FALSE;
    if (mode == FileDialogMode::Save) {
        if (settings.OverwritePrompt) {
            dialog.Flags |= OFN_OVERWRITEPROMPT;
        }
        const auto save = Loaded<decltype(&GetSaveFileNameW)>(L"comdlg32.dll", "GetSaveFileNameW");
        chosen = save != nullptr && save(&dialog);
    } else {
        if (settings.FileMustExist) {
            dialog.Flags |= OFN_FILEMUSTEXIST;
        }
        const auto openDialog =
            Loaded<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
        chosen = openDialog != nullptr && openDialog(&dialog);
    }
    if (!chosen) {
        return std::nullopt;
    }
    return std::filesystem::path(name.c_str());
}

void Win32Desktop::ShellOpen(std::string_view target) {
    // The result is not looked at: a system without a browser or mail program says nothing.
    const auto execute = Loaded<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (execute != nullptr) {
        execute(owner_, L"open", FromGameText(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
}

void Win32Desktop::Announce(std::string_view words) {
    if (say_) {
        say_(FromGameText(words));
    }
}

} // namespace pylons
