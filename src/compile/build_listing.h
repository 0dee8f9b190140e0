#pragma once
// The assembler's messages, as it writes them into its listing and on its
// console, one a line:
//     **Error** C:\WORK\HELLO.ASM(12) Undefined symbol: FOO
//     *Warning* C:\WORK\HELLO.ASM(7) Argument needs type override
//     **Fatal** Command line: Can't locate file: HELLO.ASM
// The bytes are in the DOS code page; every other line is left alone.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class MessageKind { Fatal, Error, Warning };

struct AssemblerMessage {
    MessageKind kind = MessageKind::Error;
    std::wstring file;     // as the assembler names it; empty when it names none
    std::size_t line = 0;  // counted from 1; 0 when the message has none
    std::wstring text;
};

struct ParsedListing {
    std::vector<AssemblerMessage> messages;
    std::size_t consumed = 0;  // bytes taken; what follows is a line still being written
};

// With complete false, a last line that no line end closes yet is left for a
// later call, which starts at `consumed`.
ParsedListing ParseListing(std::string_view dosBytes, bool complete = true);
