#include "editor/win32/go_to_line_win.h"

#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kLabelId = 101;

struct Request {
    std::size_t current, lineCount;
    std::optional<std::size_t> chosen;
};

// A dialog template in memory (sizes in dialog units), so that the dialog
// needs no resource of the program's.
class Template {
  public:
    Template(const wchar_t* caption, short width, short height) {
        Add(LOWORD(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU));
        Add(HIWORD(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU));
        Add(0), Add(0);  // extended style
        countAt_ = words_.size();
        Add(0);  // the number of items, counted as they are added
        Add(0), Add(0), Add(static_cast<WORD>(width)), Add(static_cast<WORD>(height));
        Add(0), Add(0);  // no menu, the dialog class
        Text(caption);
        Add(8);
        Text(L"MS Shell Dlg");
    }
    void Item(WORD atom, const wchar_t* text, DWORD style, short x, short y, short cx, short cy, WORD id) {
        if (words_.size() % 2)
            Add(0);  // every item starts on a DWORD boundary
        style |= WS_CHILD | WS_VISIBLE;
        Add(LOWORD(style)), Add(HIWORD(style)), Add(0), Add(0);
        for (short v : {x, y, cx, cy})
            Add(static_cast<WORD>(v));
        Add(id), Add(0xFFFF), Add(atom);
        Text(text);
        Add(0);  // no creation data
        ++words_[countAt_];
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void Add(WORD w) { words_.push_back(w); }
    void Text(const wchar_t* s) {
        for (; *s; ++s)
            Add(static_cast<WORD>(*s));
        Add(0);
    }
    std::vector<WORD> words_;
    std::size_t countAt_ = 0;
};

constexpr WORD kButton = 0x80, kEdit = 0x81, kStatic = 0x82;

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* request = reinterpret_cast<Request*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            request = reinterpret_cast<Request*>(lParam);
            const std::wstring label = L"&Line number (1 - " + std::to_wstring(request->lineCount) + L"):";
            SetDlgItemTextW(dialog, kLabelId, label.c_str());
            SetDlgItemTextW(dialog, kGoToLineBoxId, std::to_wstring(request->current).c_str());
            SendDlgItemMessageW(dialog, kGoToLineBoxId, EM_SETSEL, 0, -1);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                wchar_t text[32] = {};
                GetDlgItemTextW(dialog, kGoToLineBoxId, text, 32);
                const unsigned long long number = std::wcstoull(text, nullptr, 10);
                if (number == 0) {
                    MessageBeep(MB_OK);
                    SetFocus(GetDlgItem(dialog, kGoToLineBoxId));
                    return TRUE;
                }
                request->chosen = static_cast<std::size_t>(number);
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

std::optional<std::size_t> AskLineNumber(HWND owner, std::size_t current, std::size_t lineCount) {
    Template dialog(L"Go to Line", 180, 62);
    dialog.Item(kStatic, L"", SS_LEFT, 7, 7, 166, 9, kLabelId);
    dialog.Item(kEdit, L"", ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 18, 166, 13,
                kGoToLineBoxId);
    dialog.Item(kButton, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 69, 40, 50, 14, IDOK);
    dialog.Item(kButton, L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 123, 40, 50, 14, IDCANCEL);
    Request request{current, lineCount, std::nullopt};
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), owner, DialogProc,
                            reinterpret_cast<LPARAM>(&request));
    return request.chosen;
}
