#include "editor/win32/go_to_line_win.h"

#include "editor/win32/dialog_template_win.h"

#include <cwchar>
#include <string>

namespace {

constexpr int kLabelId = 101;

struct Request {
    std::size_t current, lineCount;
    std::optional<std::size_t> chosen;
};

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
    DialogTemplate dialog(L"Go to Line", 180, 62, true);
    dialog.Item(kStaticAtom, L"", SS_LEFT, 7, 7, 166, 9, kLabelId);
    dialog.Item(kEditAtom, L"", ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 18, 166, 13,
                kGoToLineBoxId);
    dialog.Item(kButtonAtom, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 69, 40, 50, 14, IDOK);
    dialog.Item(kButtonAtom, L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 123, 40, 50, 14, IDCANCEL);
    Request request{current, lineCount, std::nullopt};
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), owner, DialogProc,
                            reinterpret_cast<LPARAM>(&request));
    return request.chosen;
}
