// Any edits, moves and undos keep the line index on the text's CR LF pairs, two
// undos give the text back, and a line's end column maps back to its end.
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
        for (std::size_t line = 0, start = 0; line < buffer.LineCount();
             start = text.find(L"\r\n", start) + 2, ++line)
            FUZZ_CHECK(buffer.LineStart(line) == start && buffer.LineOf(start) == line &&
                       model.PosAtColumn(line, model.ColumnOf(buffer.LineEnd(line))) == buffer.LineEnd(line));
        FUZZ_CHECK(text.find(L"\r\n", buffer.LineStart(buffer.LineCount() - 1)) == std::wstring::npos);
    }
    return 0;
}
