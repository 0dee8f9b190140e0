#pragma once
// Helpers shared by the fuzz targets.
#include <cstdint>
#include <cstdlib>
#include <string>

// Two bytes per character, as UTF-16 would come from the editor.
inline std::wstring WideFrom(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    return text;
}

// Stops the run with a crash libFuzzer reports, whatever the build's NDEBUG.
#define FUZZ_CHECK(condition) ((condition) ? (void)0 : std::abort())
