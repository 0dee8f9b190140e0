// Any sequence of edits, selections, caret moves and undos keeps the editor
// consistent: the line index agrees with the text, two undos give the text
// back, and columns map back to the positions they came from.
#include "editor/edit_model.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const wchar_t alphabet[] = {L'a', L' ', L'\r', L'\n', L'\0', L'\t', L'\u0416', L'_'};
    EditModel model;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const unsigned op = data[i], arg = data[i + 1];
        const std::size_t at = arg % (model.Length() + 1);
        const std::wstring before = model.Text();
        if (op % 6 == 0)
            model.Select(at, (at * 7 + op) % (model.Length() + 1));
        else if (op % 6 == 1)
            model.ReplaceSelection(std::wstring(op / 8 % 4, alphabet[arg % 8]), op & 8);
        else if (op % 6 == 2)
            op & 8 ? model.DeleteBackward(op & 16) : model.DeleteForward();
        else if (op % 6 == 3)
            model.Move(static_cast<Motion>(op / 8 % 12), op & 128, arg % 5);
        else if (op % 6 == 4)
            model.SelectWordAt(at);
        else
            FUZZ_CHECK(!model.Undo() || (model.Undo() && model.Text() == before));
        const TextBuffer& buffer = model.Buffer();
        const std::wstring text = model.Text();
        for (std::size_t line = 0; line < buffer.LineCount(); ++line) {
            const std::size_t start = buffer.LineStart(line), end = buffer.LineEnd(line);
            FUZZ_CHECK(buffer.LineOf(start) == line && buffer.LineOf(end) == line);
            FUZZ_CHECK(text.find(L"\r\n", start) ==
                       (line + 1 == buffer.LineCount() ? std::wstring::npos : end));
            FUZZ_CHECK(line + 1 == buffer.LineCount() ? end == text.size()
                                                      : buffer.LineStart(line + 1) == end + 2);
            FUZZ_CHECK(model.WidestLine() >= model.ColumnOf(end));
            for (std::size_t pos = start; pos <= end; ++pos)
                FUZZ_CHECK(model.PosAtColumn(line, model.ColumnOf(pos)) == pos);
        }
    }
    return 0;
}
