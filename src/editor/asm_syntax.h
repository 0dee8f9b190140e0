#pragma once
// Colours for assembly source as the Turbo Assembler reads it: comments (";"
// to the end of the line and the COMMENT directive's delimited block),
// strings, numbers in every radix, registers, instructions (8086 to Pentium
// and the FPU), directives of MASM and Ideal mode, and labels; names without
// regard to case.
//
// A line is classified from its own characters and one value carried from
// the lines above it: the delimiter of an open COMMENT block. SyntaxStates
// finds that value lazily, line by line from the last one it knows, and keeps
// it per line, so colouring costs what is painted and an edit forgets only
// the states below it.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "editor/text_buffer.h"

enum class SyntaxKind : std::uint8_t {
    Plain,
    Comment,
    String,
    Number,
    Register,
    Instruction,
    Directive,
    Label
};

struct SyntaxSpan {
    std::size_t begin, end;  // positions in the text, end excluded
    SyntaxKind kind;
};

// 0 outside a COMMENT block; inside one, the delimiter that ends it.
using BlockState = wchar_t;

// Appends the coloured spans of `chars` (Plain is left out) at positions
// counted from `base`. `lineStart` says whether chars begins the line (labels
// and directives are found by their place on it); `state` is the block state
// where chars begin. Returns the block state where they end.
BlockState ClassifyLine(std::wstring_view chars,
                        std::size_t base,
                        bool lineStart,
                        BlockState state,
                        std::vector<SyntaxSpan>& spans);

// The block state after a whole line, looking only at what can change it.
BlockState StateAfterLine(const TextBuffer& text, std::size_t line, BlockState state);

class SyntaxStates {
  public:
    // The block state at the start of a line.
    BlockState At(const TextBuffer& text, std::size_t line);
    // The state after a line, found by classifying all of it: saves finding it again.
    void Learn(std::size_t line, BlockState after);
    // The text changed on this line: the states of the lines after it are forgotten.
    void Forget(std::size_t line);

  private:
    std::vector<BlockState> states_{BlockState{0}};  // states_[i]: at the start of line i
};
