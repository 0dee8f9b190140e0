// Paging through a 4 Mi-character source as the text view paints it: every
// row of every page laid out, once without colours and once with them (the
// block-comment states found on the way). Prints the time of each and their
// ratio; passes or fails nothing. The view's drawing calls come on top of
// both and are the same for both.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "asm_sample.h"
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
    return 0;
}
