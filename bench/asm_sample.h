#pragma once
// The sample that the paging benchmarks page through.
#include <iterator>
#include <random>
#include <string>

// Assembly source of the usual mix: labels, instructions, data, comments in
// Cyrillic, now and then a COMMENT block.
inline std::wstring SampleSource(std::size_t chars) {
    const wchar_t* lines[] = {
        L"start:  mov     ax, @data\t\t; \u043d\u0430\u0447\u0430\u043b\u043e",
        L"        mov     ds, ax",
        L"        lea     dx, msg",
        L"        mov     cx, 0FFh",
        L"next:   add     word ptr [bx+si+4], 101b",
        L"        loop    next\t\t; \u0435\u0449\u0451 \u0440\u0430\u0437",
        L"msg     db      'Hello, world', 13, 10, '$'",
        L"table   dw      17o, 99d, 1234h, 0",
        L"print   proc    near",
        L"        int     21h",
        L"        ret",
        L"print   endp",
    };
    std::mt19937 random(7);
    std::wstring text;
    while (text.size() < chars) {
        if (random() % 200 == 0)
            text += L"COMMENT ~ \u0431\u043b\u043e\u043a\r\n  mov ax, bx\r\n~\r\n";
        text += lines[random() % std::size(lines)];
        text += L"\r\n";
    }
    text.resize(chars);
    return text;
}
