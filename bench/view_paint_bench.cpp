// Paging through a 4 Mi-character source as the text view paints it: every
// row of every page laid out, once without colours and once with them (the
// block-comment states found on the way). Prints the time of each and their
// ratio; passes or fails nothing. The view's drawing calls come on top of
// both and are the same for both. Then Find at its worst (a 1,000-character
// pattern that nearly matches at each of 1 Mi characters) against a plain
// search of the same characters (one character that is not there).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "asm_sample.h"
#include "editor/find_text.h"
#include "editor/view_layout.h"

namespace {

// Seconds to page through the whole text once.
double PageThrough(const EditModel& model, bool colours) {
    constexpr std::size_t kRows = 45, kColumns = 130;  // a 1024 x 768 view of an 8 x 15 font
    SyntaxStates syntax;                               // found anew every time, as after opening the file
    RowLayout row;
    std::size_t painted = 0;
    const auto start = std::chrono::steady_clock::now();
    const std::size_t lines = model.Buffer().LineCount();
    for (std::size_t top = 0; top < lines; top += kRows)
        for (std::size_t line = top; line < std::min(lines, top + kRows); ++line) {
            LayOutRow(model, line, 0, kColumns, colours ? &syntax : nullptr, row);
            painted += row.text.size() + row.runs.size();
        }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (painted == 0)
        std::printf("nothing painted\n");
    return took.count();
}

template <class Run>
double Best(Run&& run) {
    double best = 1e9;
    for (int round = 0; round < 11; ++round) {
        const auto start = std::chrono::steady_clock::now();
        run();
        best =
            std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

void FindAtItsWorst() {
    TextBuffer text;
    text.SetText(std::wstring(1 << 20, L'a'));
    const std::wstring pattern = std::wstring(999, L'a') + L"b";
    bool found = false;
    const double worst = Best([&] { found = found || FindInText(text, pattern, 0, {}).has_value(); });
    const double plain = Best([&] { found = found || FindInText(text, L"b", 0, {}).has_value(); });
    std::printf("Find in 1 Mi characters%s:\n", found ? " (found something: wrong)" : "");
    std::printf("  1,000 nearly everywhere %8.1f ms\n  1 nowhere               %8.1f ms\n  ratio %26.2f\n",
                worst * 1e3, plain * 1e3, worst / plain);
}

}  // namespace

int main() {
    EditModel model;
    model.SetText(SampleSource(4 << 20));
    // Alternating rounds, the best of each: a busy machine slows both alike.
    double plain = 1e9, coloured = 1e9;
    for (int round = 0; round < 11; ++round) {
        plain = std::min(plain, PageThrough(model, false));
        coloured = std::min(coloured, PageThrough(model, true));
    }
    std::printf("Paging through 4 Mi characters (%zu lines), every row laid out:\n",
                model.Buffer().LineCount());
    std::printf("  colours off  %8.1f ms\n  colours on   %8.1f ms\n  ratio on/off %8.2f\n", plain * 1e3,
                coloured * 1e3, coloured / plain);
    FindAtItsWorst();
    return 0;
}
