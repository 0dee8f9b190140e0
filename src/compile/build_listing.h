#pragma once
// The assembler's messages, as it writes them into its listing and on its
// console, one a line:
//     **Error** C:\WORK\HELLO.ASM(12) Undefined symbol: FOO
//     *Warning* C:\WORK\HELLO.ASM(7) Argument needs type override
//     **Fatal** Command line: Can't locate file: HELLO.ASM
// The bytes are in the DOS code page; every other line is left alone.
#include <cstddef>
#include <cstdint>
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

// Reads a listing a piece at a time, as the file gives it, in memory that
// does not grow with the listing: the first `keep` messages are kept, the
// rest only counted, and no more than kLongestLine bytes of a line are looked
// at (a longer message is cut there).
class ListingReader {
  public:
    static constexpr std::size_t kLongestLine = 1024;
    explicit ListingReader(std::size_t keep) : keep_(keep) {}
    // The next bytes of the listing; a line they leave open waits for the next piece.
    void Take(std::string_view dosBytes);
    // The listing has ended: a last line without a line end counts too.
    void Finish();
    const std::vector<AssemblerMessage>& Kept() const { return kept_; }
    std::uint64_t NotKept() const { return notKept_; }

  private:
    void Line(std::string_view line);
    std::size_t keep_;
    std::vector<AssemblerMessage> kept_;
    std::uint64_t notKept_ = 0;
    std::string open_;  // the start of a line no piece has ended yet
};
