#pragma once
// Every failure the program expects is a Failure: a PlatformError when the
// system refused an operation (with its error code, whose wording the user
// sees), a ProgramError when the program's own logic found the input wanting
// (a value of the wrong type, a path DOS cannot name). The program's two
// failure styles (skip the statement, or end the command) are expressed by
// the helpers below; anything else that is thrown is a fault, and the window
// procedure's boundary reports it.
#include <cstdint>
#include <stdexcept>
#include <string>

class Failure : public std::runtime_error {
  public:
    explicit Failure(std::wstring what) : std::runtime_error("failure"), what_(std::move(what)) {}
    // What failed, in words.
    const std::wstring& What() const { return what_; }

  private:
    std::wstring what_;
};

class PlatformError : public Failure {
  public:
    PlatformError(std::wstring operation, std::uint32_t code) : Failure(std::move(operation)), code_(code) {}
    const std::wstring& Operation() const { return What(); }
    std::uint32_t Code() const { return code_; }

  private:
    std::uint32_t code_;
};

class ProgramError : public Failure {
  public:
    using Failure::Failure;
};

// Runs one statement; a Failure is swallowed ("skip the failing statement
// and go on"). Returns false when the statement failed.
template <class Statement>
bool SkipOnFailure(Statement&& statement) {
    try {
        statement();
        return true;
    } catch (const Failure&) {
        return false;
    }
}
