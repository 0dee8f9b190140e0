// Any parts make a script whose bytes are its text in the DOS code page, then CR LF.
#include "codepage/cp1251.h"
#include "codepage/recode.h"
#include "compile/build_script.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = DecodeCp1251(std::string(reinterpret_cast<const char*>(data), size));
    const std::size_t cut = text.size() / 2;
    const ScriptParts parts{text.substr(0, cut), L"/z", text.substr(cut), L"t", text, L"o"};
    const std::string bytes = BuildScriptBytes(parts);
    FUZZ_CHECK(DosToWin(DecodeCp1251(bytes)) == BuildScriptText(parts) + L"\r\n");
    return 0;
}
