// Any bytes read; reading what a save wrote gives the text in the DOS code page and a line more.
#include "codepage/recode.h"
#include "editor/source_file.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = ReadSourceText(std::string(reinterpret_cast<const char*>(data), size));
    FUZZ_CHECK(ReadSourceText(SourceFileBytes(text)) == WinToDos(text) + L"\r\n");
    return 0;
}
