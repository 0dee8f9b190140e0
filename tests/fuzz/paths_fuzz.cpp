// Registry paths and document paths: any text is taken apart without a crash,
// and the parts put together give the text back.
#include "editor/document.h"
#include "fuzz_util.h"
#include "settings/reg_shell.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = WideFrom(data, size);
    try {
        const RegPath p = ParseRegPath(text);
        const std::wstring rest = text.substr(text.find(L'\\') + 1);
        FUZZ_CHECK(rest == (p.key.empty() ? L"" : p.key + L"\\") + p.name);
    } catch (const PlatformError&) {
    }
    ToInt16(RegVariant{RegVariant::Kind::Text, 0, text});

    const std::wstring name = GetFileName(text);
    FUZZ_CHECK(DocumentFolder(text) + name == text);
    FUZZ_CHECK(name.find_first_of(L"\\/:") == std::wstring::npos);
    const std::wstring base = DocumentBaseName(text);
    FUZZ_CHECK(base.size() == (name.size() > 4 ? name.size() - 4 : 0));
    FUZZ_CHECK(name.compare(0, base.size(), base) == 0);
    return 0;
}
