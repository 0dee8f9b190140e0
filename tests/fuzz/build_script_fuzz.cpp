// Any tool paths, switches and names make a script without a crash: the text
// begins with the prompt line, holds every part in order, and its bytes are
// that text in the DOS code page with one CR LF after it.
#include "codepage/cp1251.h"
#include "codepage/recode.h"
#include "compile/build_script.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Six parts, separated in the input by the byte 0xFF.
    std::wstring fields[6];
    std::size_t field = 0, start = 0;
    for (std::size_t i = 0; i <= size && field < 6; ++i) {
        if (i == size || data[i] == 0xFF) {
            fields[field++] =
                DecodeCp1251(std::string(reinterpret_cast<const char*>(data) + start, i - start));
            start = i + 1;
        }
    }
    const ScriptParts parts{fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]};
    const std::wstring text = BuildScriptText(parts);
    FUZZ_CHECK(text.rfind(L" prompt $s\r\n", 0) == 0);
    std::size_t at = 0;
    for (const std::wstring* part :
         {&parts.tasmPath, &parts.asmSwitches, &parts.documentShortPath, &parts.outBase, &parts.outBase,
          &parts.tlinkPath, &parts.linkSwitches, &parts.outBase, &parts.outBase}) {
        at = text.find(*part, at);
        FUZZ_CHECK(at != std::wstring::npos);
        at += part->size();
    }
    const std::string bytes = BuildScriptBytes(parts);
    FUZZ_CHECK(bytes.size() == text.size() + 2);
    FUZZ_CHECK(DosToWin(DecodeCp1251(bytes.substr(0, text.size()))) == text);
    FUZZ_CHECK(bytes.compare(bytes.size() - 2, 2, "\r\n") == 0);
    return 0;
}
