#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

namespace pylons {

// A dialog built in memory, in dialog units, with the system's message font: the game's small
// windows need no resource script.
class DialogTemplate {
public:
    static constexpr WORD kButton = 0x0080;
    static constexpr WORD kEdit = 0x0081;
    static constexpr WORD kStatic = 0x0082;
    static constexpr WORD kListBox = 0x0083;
    static constexpr WORD kComboBox = 0x0085;

    DialogTemplate(std::wstring_view title, short width, short height) {
        Dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
        Dword(0); // extended style
        count_ = words_.size();
        Word(0); // items, counted as they come
        Word(0); // x
        Word(0); // y
        Word(static_cast<WORD>(width));
        Word(static_cast<WORD>(height));
        Word(0); // no menu
        Word(0); // the standard dialog class
        Text(title);
        Word(9);
        Text(L"Segoe UI");
    }

    // An item of a predefined class; `className` names a registered class instead when given.
    void Add(WORD atom, std::wstring_view text, DWORD style, short x, short y, short cx, short cy,
             WORD id, std::wstring_view className = {}) {
        while (words_.size() % 2 != 0) {
            Word(0); // items start on a DWORD boundary
        }
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(id);
        if (className.empty()) {
            Word(0xFFFF);
            Word(atom);
        } else {
            Text(className);
        }
        Text(text);
        Word(0); // no creation data
        ++words_[count_];
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(std::wstring_view text) {
        for (const wchar_t c : text) {
            Word(static_cast<WORD>(c));
        }
        Word(0);
    }

    std::vector<WORD> words_;
    std::size_t count_ = 0;
};

} // namespace pylons
