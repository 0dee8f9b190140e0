// Any text converts to a text of its length; Windows-1251 text survives round trips.
#include "codepage/cp1251.h"
#include "codepage/recode.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring wide = WideFrom(data, size);
    const std::int32_t from = size ? data[0] % 7 - 1 : 1, to = size ? data[0] / 7 % 7 - 1 : 2;
    FUZZ_CHECK(RecodeText(wide, from, to).size() == wide.size());
    const std::wstring win = DecodeCp1251(std::string(reinterpret_cast<const char*>(data), size));
    FUZZ_CHECK(DosToWin(WinToDos(win)) == win);
    FUZZ_CHECK(RecodeText(RecodeText(win, 1, 5), 5, 1) == win &&
               RecodeText(RecodeText(win, 1, 3), 3, 1) == win);
    return 0;
}
