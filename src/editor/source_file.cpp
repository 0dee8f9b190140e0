#include "editor/source_file.h"

#include "build/recode.h"
#include "platform/cp1251.h"

std::wstring ReadSourceText(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size() + bytes.size() / 16 + 2);
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        // One line: up to a CR (followed or not by LF) or the end of the file.
        std::size_t end = i;
        while (end < n && bytes[end] != '\r') ++end;
        for (std::size_t j = i; j < end; ++j) text.push_back(Cp1251ToChar(static_cast<unsigned char>(bytes[j])));
        text.append(L"\r\n");
        i = end;
        if (i < n) {
            ++i;  // the CR
            if (i < n && bytes[i] == '\n') ++i;
        }
    }
    return text;
}

std::string SourceFileBytes(const std::wstring& text) {
    std::string bytes = EncodeCp1251(WinToDos(text));
    bytes.append("\r\n");
    return bytes;
}
