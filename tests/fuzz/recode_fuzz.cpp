// Any text converts without a crash, to a text of the same length; Windows-1251
// text survives the round trip through the DOS code page.
#include "codepage/cp1251.h"
#include "codepage/recode.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::int32_t ids[] = {1, 2, 3, 4, 5, 0, -1};
    const std::int32_t from = ids[data[0] % 7], to = ids[(data[0] / 7) % 7];
    const std::wstring wide = WideFrom(data + 1, size - 1);
    FUZZ_CHECK(RecodeText(wide, from, to).size() == wide.size());

    const std::wstring win = DecodeCp1251(std::string(reinterpret_cast<const char*>(data), size));
    FUZZ_CHECK(DosToWin(WinToDos(win)) == win);
    FUZZ_CHECK(RecodeText(RecodeText(win, 1, 5), 5, 1) == win);
    FUZZ_CHECK(RecodeText(RecodeText(win, 1, 3), 3, 1) == win);
    return 0;
}
