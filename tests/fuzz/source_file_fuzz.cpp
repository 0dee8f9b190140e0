// Any bytes read as a source file without a crash; reading what a save wrote
// gives the text back in the DOS code page with one more empty line.
#include "codepage/recode.h"
#include "editor/source_file.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring text = ReadSourceText(bytes);
    FUZZ_CHECK(text.empty() == bytes.empty());
    FUZZ_CHECK(text.size() <= 2 * bytes.size() + 2);
    const std::wstring again = ReadSourceText(SourceFileBytes(text));
    FUZZ_CHECK(again == WinToDos(text) + L"\r\n");
    return 0;
}
