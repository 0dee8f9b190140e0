// Registry and document paths: any text comes apart into parts that give it back.
#include "editor/document.h"
#include "fuzz_util.h"
#include "settings/reg_shell.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = WideFrom(data, size);
    try {
        const RegPath p = ParseRegPath(text);
        FUZZ_CHECK(text.substr(text.find(L'\\') + 1) == (p.key.empty() ? L"" : p.key + L"\\") + p.name);
    } catch (const Failure&) {
    }
    ToInt16(RegVariant{RegVariant::Kind::Text, 0, text});
    FUZZ_CHECK(DocumentFolder(text) + GetFileName(text) == text);
    return 0;
}
