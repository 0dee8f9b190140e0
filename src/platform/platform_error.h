#pragma once
// Every platform operation reports failure by throwing PlatformError; the
// program's two failure styles (skip the statement, or end the command) are
// expressed by the helpers below.
#include <cstdint>
#include <stdexcept>
#include <string>

class PlatformError : public std::runtime_error {
  public:
    PlatformError(std::wstring operation, std::uint32_t code)
        : std::runtime_error("platform operation failed"), operation_(std::move(operation)), code_(code) {}
    const std::wstring& Operation() const { return operation_; }
    std::uint32_t Code() const { return code_; }

  private:
    std::wstring operation_;
    std::uint32_t code_;
};

// Runs one statement; a PlatformError is swallowed ("skip the failing
// statement and go on"). Returns false when the statement failed.
template <class Statement>
bool SkipOnFailure(Statement&& statement) {
    try {
        statement();
        return true;
    } catch (const PlatformError&) {
        return false;
    }
}
