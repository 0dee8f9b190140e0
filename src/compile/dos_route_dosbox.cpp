// The DOSBox route's DOSBox: found where an administrator installs it (or
// the user chose it), located by the user when asked, and shown, changed or
// forgotten from the editor's menu.
#include "compile/dos_route.h"

namespace {

const wchar_t kDosBoxFilter[] = L"DOSBox (dosbox*)|dosbox*|Programs (*.exe)|*.exe|All files (*.*)|*.*";

}  // namespace

// A Windows program, or under Wine a host program (started through the host's shell).
bool DosRoute::Usable(const std::wstring& path, Found& found) {
    try {
        if (!p_.files.FileExists(path))
            return false;
        const std::string bytes = p_.files.ReadAll(path);
        const bool host = IsHostProgram(bytes) && !host_.FromHostPath(L"/bin/sh").empty() &&
                          !host_.ToHostPath(path).empty();
        if (!host && !IsWindowsProgram(bytes))
            return false;
        found = {path, host};
        return true;
    } catch (const Failure&) {
        return false;
    }
}

DosRoute::Found DosRoute::Find() {
    Found found;
    if (Usable(user_.Path(UserPath::DosBox), found))
        return found;
    for (const std::wstring& candidate : DosBoxCandidates(p_.system, host_)) {
        if (Usable(candidate, found))
            return found;
    }
    return {};
}

// The Open dialog until a program is chosen (and kept for the next builds)
// or the dialog is cancelled.
bool DosRoute::Locate() {
    for (;;) {
        FileDialogResult chosen;
        const bool shown = SkipOnFailure([&] {
            chosen = p_.fileDialogs.ShowOpen({kDosBoxFilter, kOfnFileMustExist | kOfnHideReadOnly, L""});
        });
        if (!shown || chosen.fileName.empty())
            return false;
        if (Usable(chosen.fileName, dosbox_)) {
            declined_ = false;
            // A store that fails does not stop this build.
            user_.SetPath(UserPath::DosBox, dosbox_.path);
            return true;
        }
        p_.messages.Show(chosen.fileName +
                             L" is not a program. Choose DOSBox itself: dosbox.exe, or under Linux "
                             L"the dosbox program.",
                         kMbOk | kMbIconStop);
    }
}

bool DosRoute::EnsureDosBox(const std::wstring& why) {
    if (!dosbox_.path.empty() && p_.files.FileExists(dosbox_.path))
        return true;
    dosbox_ = Find();
    if (!dosbox_.path.empty())
        return true;
    if (declined_)
        return false;
    const int answer = p_.messages.Show(why +
                                            L", which this computer cannot start by itself. Korveline runs "
                                            L"them in DOSBox, but could not find DOSBox here.\r\n\r\n"
                                            L"Do you want to locate DOSBox yourself?",
                                        kMbYesNo | kMbIconQuestion);
    if (answer != kIdYes) {
        declined_ = true;
        return false;
    }
    return Locate();
}

void DosRoute::ChooseDosBox() {
    try {
        const std::wstring stored = user_.Path(UserPath::DosBox);
        const Found inUse = Find();
        std::wstring text;
        unsigned style = kMbYesNo | kMbIconQuestion;
        if (!stored.empty()) {
            style = kMbYesNoCancel | kMbIconQuestion;
            text = inUse.path == stored
                       ? L"Korveline runs DOS tools in the DOSBox you chose:\r\n\r\n" + stored
                       : L"The DOSBox you chose, " + stored + L", is missing or not a program." +
                             (inUse.path.empty()
                                  ? L""
                                  : L" Korveline runs DOS tools in the one it found: " + inUse.path + L".");
            text +=
                L"\r\n\r\nDo you want to choose another one? No forgets your choice, and Korveline looks "
                L"for DOSBox itself again.";
        } else if (!inUse.path.empty()) {
            text = L"Korveline runs DOS tools in the DOSBox it found:\r\n\r\n" + inUse.path +
                   L"\r\n\r\nDo you want to choose another one?";
        } else {
            text =
                L"Korveline has found no DOSBox, in which it runs DOS tools that this computer cannot start "
                L"by itself.\r\n\r\nDo you want to locate DOSBox?";
        }
        const int answer = p_.messages.Show(text, style);
        if (answer == kIdYes) {
            Locate();
        } else if (answer == kIdNo && !stored.empty()) {
            user_.ForgetPath(UserPath::DosBox);
            dosbox_ = {};
            declined_ = false;
        }
    } catch (const std::exception&) {
        // Nothing chosen, nothing changed.
    }
}
