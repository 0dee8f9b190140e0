#include <windows.h>

#include <commdlg.h>

#include <vector>

#include "platform/win32/win32_platform.h"

namespace {

// "Asm (*.asm)|*.asm" becomes "Asm (*.asm)\0*.asm\0\0".
std::wstring DialogFilter(const std::wstring& filter) {
    std::wstring result = filter;
    for (auto& c : result) {
        if (c == L'|')
            c = L'\0';
    }
    result.push_back(L'\0');
    result.push_back(L'\0');
    return result;
}

FileDialogResult Show(const FileDialogRequest& request, bool save) {
    std::vector<wchar_t> file(32768, L'\0');
    if (request.fileName.size() >= file.size())
        ThrowWin32(L"file dialog preset too long", ERROR_FILENAME_EXCED_RANGE);
    request.fileName.copy(file.data(), request.fileName.size());
    const std::wstring filter = DialogFilter(request.filter);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.Flags = static_cast<DWORD>(request.flags) | OFN_EXPLORER;
    const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen) {
        const DWORD error = CommDlgExtendedError();
        if (error != 0)
            ThrowWin32(L"common file dialog", error);
        return {};  // the user cancelled
    }
    FileDialogResult result;
    result.fileName = file.data();
    result.fileTitle =
        ofn.nFileOffset < result.fileName.size() ? result.fileName.substr(ofn.nFileOffset) : L"";
    return result;
}

}  // namespace

FileDialogResult Win32FileDialogs::ShowOpen(const FileDialogRequest& request) {
    return Show(request, false);
}

FileDialogResult Win32FileDialogs::ShowSave(const FileDialogRequest& request) {
    return Show(request, true);
}
