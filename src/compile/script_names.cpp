#include "compile/script_names.h"

namespace {

// What cmd.exe acts on outside quotes: command separators, pipes,
// redirections, its escape character and variable expansion.
constexpr wchar_t kOperators[] = L"&|<>^%";

// "<what> <name> holds the character "c", which ... command. <before>"c"<after>",
// or nothing when the name holds none of the operators.
std::optional<std::wstring> Refusal(const wchar_t* what,
                                    const std::wstring& name,
                                    const wchar_t* before,
                                    const wchar_t* after) {
    const auto at = name.find_first_of(kOperators);
    if (at == std::wstring::npos)
        return std::nullopt;
    const std::wstring quoted = std::wstring(L"\"") + name[at] + L"\"";
    return what + name + L" holds the character " + quoted +
           L", which the build script would run as a command. " + before + quoted + after;
}

}  // namespace

std::optional<std::wstring> RefuseUnsafeScriptNames(const std::wstring& documentShortPath,
                                                    const std::wstring& outBase) {
    if (auto refused =
            Refusal(L"The document's path ", documentShortPath,
                    L"Rename the document or its folder so that its path has no ", L", then build again."))
        return refused;
    return Refusal(L"The output name ", outBase, L"Build again and choose an output name and folder without ",
                   L".");
}
