#pragma once
// The platform's Open and Save dialogs, and CommonDialog: the one dialog
// object a window keeps, which remembers its file name between uses.
#include <string>

#include "platform/platform_error.h"

// Option flags, as the common dialog numbers them.
constexpr long kOfnOverwritePrompt = 0x2;
constexpr long kOfnHideReadOnly = 0x4;
constexpr long kOfnFileMustExist = 0x1000;

struct FileDialogRequest {
    std::wstring filter;  // "Text (*.txt)|*.txt|All (*.*)|*.*"
    long flags = 0;
    std::wstring fileName;  // preset; may be a full path
};

struct FileDialogResult {
    std::wstring fileName;   // the chosen full path; empty when the user chose nothing
    std::wstring fileTitle;  // the chosen name without its folder
};

class FileDialogService {
  public:
    virtual ~FileDialogService() = default;
    virtual FileDialogResult ShowOpen(const FileDialogRequest& request) = 0;
    virtual FileDialogResult ShowSave(const FileDialogRequest& request) = 0;
};

class CommonDialog {
  public:
    explicit CommonDialog(FileDialogService& service) : service_(service) {}
    std::wstring Filter;
    long Flags = 0;
    std::wstring FileName;
    std::wstring FileTitle;

    void ShowOpen() { Take(service_.ShowOpen({Filter, Flags, FileName})); }
    void ShowSave() { Take(service_.ShowSave({Filter, Flags, FileName})); }

  private:
    void Take(const FileDialogResult& result) {
        FileName = result.fileName;
        FileTitle = result.fileTitle;
    }
    FileDialogService& service_;
};
