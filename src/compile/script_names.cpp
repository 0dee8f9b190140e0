#include "compile/script_names.h"

namespace {

// What cmd.exe acts on outside quotes: command separators, pipes,
// redirections, its escape character and variable expansion.
constexpr wchar_t kOperators[] = L"&|<>^%";

std::wstring Quoted(wchar_t c) {
    return std::wstring(L"\"") + c + L"\"";
}

}  // namespace

std::optional<std::wstring> RefuseUnsafeScriptNames(const std::wstring& documentShortPath,
                                                    const std::wstring& outBase) {
    const auto inDocument = documentShortPath.find_first_of(kOperators);
    if (inDocument != std::wstring::npos) {
        const wchar_t c = documentShortPath[inDocument];
        return L"The document's path " + documentShortPath + L" holds the character " + Quoted(c) +
               L", which the build script would run as a command. Rename the document or its folder "
               L"so that its path has no " +
               Quoted(c) + L", then build again.";
    }
    const auto inOutput = outBase.find_first_of(kOperators);
    if (inOutput != std::wstring::npos) {
        const wchar_t c = outBase[inOutput];
        return L"The output name " + outBase + L" holds the character " + Quoted(c) +
               L", which the build script would run as a command. Build again and choose an output "
               L"name and folder without " +
               Quoted(c) + L".";
    }
    return std::nullopt;
}
