#include "editor/win32/find_dialog_win.h"

#include "editor/win32/dialog_template_win.h"

FindDialog::~FindDialog() {
    if (hwnd_)
        DestroyWindow(hwnd_);
}

void FindDialog::Open(HWND owner, const std::wstring& what, const FindOptions& options, Finder& finder) {
    finder_ = &finder;
    if (hwnd_) {
        SetActiveWindow(hwnd_);
        return;
    }
    DialogTemplate dialog(L"Find", 236, 62, false);
    dialog.Item(kStaticAtom, L"Fi&nd what:", SS_LEFT, 6, 9, 46, 8, 0xFFFF);
    dialog.Item(kEditAtom, L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 54, 7, 120, 12, kFindWhatId);
    dialog.Item(kButtonAtom, L"Match &whole word only", BS_AUTOCHECKBOX | WS_TABSTOP, 6, 26, 98, 12,
                kWholeWordId);
    dialog.Item(kButtonAtom, L"Match &case", BS_AUTOCHECKBOX | WS_TABSTOP, 6, 42, 98, 12, kMatchCaseId);
    dialog.Item(kButtonAtom, L"Direction", BS_GROUPBOX, 110, 24, 64, 32, 0xFFFF);
    dialog.Item(kButtonAtom, L"&Up", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 114, 37, 26, 12, kUpId);
    dialog.Item(kButtonAtom, L"&Down", BS_AUTORADIOBUTTON, 142, 37, 30, 12, kDownId);
    dialog.Item(kButtonAtom, L"&Find Next", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 180, 6, 50, 14, IDOK);
    dialog.Item(kButtonAtom, L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 180, 24, 50, 14, IDCANCEL);
    hwnd_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), owner, Proc,
                                       reinterpret_cast<LPARAM>(this));
    if (!hwnd_)
        return;
    SetDlgItemTextW(hwnd_, kFindWhatId, what.c_str());
    CheckDlgButton(hwnd_, kWholeWordId, options.wholeWord ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd_, kMatchCaseId, options.matchCase ? BST_CHECKED : BST_UNCHECKED);
    CheckRadioButton(hwnd_, kUpId, kDownId, options.down ? kDownId : kUpId);
    EnableWindow(GetDlgItem(hwnd_, IDOK), !what.empty());
    // At the owner's top right corner, where it hides little of the text.
    RECT ownerBox{}, box{};
    GetWindowRect(owner, &ownerBox);
    GetWindowRect(hwnd_, &box);
    SetWindowPos(hwnd_, nullptr, ownerBox.right - (box.right - box.left) - 24, ownerBox.top + 64, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(hwnd_, SW_SHOW);
    SendDlgItemMessageW(hwnd_, kFindWhatId, EM_SETSEL, 0, -1);
    SetFocus(GetDlgItem(hwnd_, kFindWhatId));
}

INT_PTR CALLBACK FindDialog::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return TRUE;
    }
    auto* self = reinterpret_cast<FindDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self)
        return FALSE;
    switch (message) {
        case WM_COMMAND:
            self->OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_CLOSE:
            self->OnCommand(IDCANCEL, BN_CLICKED);
            return TRUE;
        case WM_DESTROY:
            self->hwnd_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

void FindDialog::OnCommand(int id, int code) {
    switch (id) {
        case kFindWhatId:
            if (code == EN_CHANGE)
                EnableWindow(GetDlgItem(hwnd_, IDOK),
                             GetWindowTextLengthW(GetDlgItem(hwnd_, kFindWhatId)) > 0);
            break;
        case IDOK: {
            const int length = GetWindowTextLengthW(GetDlgItem(hwnd_, kFindWhatId));
            std::wstring what(static_cast<std::size_t>(length) + 1, L'\0');
            what.resize(
                static_cast<std::size_t>(GetDlgItemTextW(hwnd_, kFindWhatId, what.data(), length + 1)));
            if (what.empty()) {
                MessageBeep(MB_OK);
                break;
            }
            const FindOptions options{IsDlgButtonChecked(hwnd_, kMatchCaseId) == BST_CHECKED,
                                      IsDlgButtonChecked(hwnd_, kWholeWordId) == BST_CHECKED,
                                      IsDlgButtonChecked(hwnd_, kUpId) != BST_CHECKED};
            if (finder_)
                finder_->FindNext(what, options);
            break;
        }
        case IDCANCEL:
            DestroyWindow(hwnd_);
            break;
        default:
            break;
    }
}
