// Any sequence of edits, selections, caret moves and undos keeps the editor
// consistent: the line index agrees with the text, a replacement changes
// exactly the selection, two undos give the text back, columns map back to
// the positions they came from, and no line is wider than the widest.
#include <vector>

#include "editor/edit_model.h"
#include "fuzz_util.h"

namespace {

void CheckConsistent(const EditModel& model) {
    const std::wstring text = model.Text();
    const TextBuffer& buffer = model.Buffer();
    FUZZ_CHECK(buffer.Length() == text.size());
    FUZZ_CHECK(model.Anchor() <= text.size() && model.Caret() <= text.size());
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == L'\r' && text[i + 1] == L'\n')
            starts.push_back(i + 2);
    FUZZ_CHECK(buffer.LineCount() == starts.size());
    for (std::size_t line = 0; line < starts.size(); ++line) {
        FUZZ_CHECK(buffer.LineStart(line) == starts[line]);
        FUZZ_CHECK(buffer.LineOf(starts[line]) == line);
        const std::size_t end = buffer.LineEnd(line);
        FUZZ_CHECK(model.WidestLine() >= model.ColumnOf(end));
        for (std::size_t pos = starts[line]; pos <= end; ++pos)
            FUZZ_CHECK(model.PosAtColumn(line, model.ColumnOf(pos)) == pos);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const wchar_t alphabet[] = {L'a', L' ', L'\r', L'\n', L'\0', L'\t', L'\u0416', L'_'};
    EditModel model;
    std::size_t i = 0;
    const auto next = [&]() -> std::size_t { return i < size ? data[i++] : 0; };
    for (int ops = 0; i < size && ops < 400; ++ops) {
        const std::size_t op = next();
        const std::size_t length = model.Length();
        switch (op % 8) {
            case 0: {
                const std::size_t anchor = next() % (length + 1);
                model.Select(anchor, next() % (length + 1));
                break;
            }
            case 1:
            case 7: {
                std::wstring insert(op / 8 % 6, L' ');
                for (auto& c : insert)
                    c = alphabet[next() % 8];
                std::wstring expected = model.Text();
                expected.replace(model.SelStart(), model.SelEnd() - model.SelStart(), insert);
                model.ReplaceSelection(insert, op % 8 == 1);
                FUZZ_CHECK(model.Text() == expected);
                FUZZ_CHECK(model.Caret() == model.Anchor());
                break;
            }
            case 2:
                model.DeleteBackward(op & 8);
                break;
            case 3:
                model.DeleteForward();
                break;
            case 4:
                model.Move(static_cast<Motion>(op / 8 % 12), op & 128, next() % 5);
                break;
            case 5: {
                const std::wstring before = model.Text();
                if (model.Undo()) {
                    FUZZ_CHECK(model.Undo());
                    FUZZ_CHECK(model.Text() == before);
                }
                break;
            }
            case 6:
                model.SelectWordAt(next() % (length + 1));
                break;
        }
        CheckConsistent(model);
    }
    return 0;
}
