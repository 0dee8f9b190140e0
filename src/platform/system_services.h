#pragma once
#include <cstdint>
#include <string>

#include "platform/platform_error.h"

class SystemServices {
  public:
    virtual ~SystemServices() = default;
    virtual void SetCaretBlinkTime(unsigned milliseconds) = 0;
    // The program's whole command line after its own name, as one text.
    virtual std::wstring CommandLine() = 0;
    // The program's folder, with a trailing backslash only in a drive root ("C:\").
    virtual std::wstring ProgramFolder() = 0;
    // The program's file name without its extension.
    virtual std::wstring ProgramName() = 0;
    // An environment variable; empty when it is not set.
    virtual std::wstring Environment(const std::wstring& name) = 0;
    // The platform's own wording of an error code, for messages to the user.
    virtual std::wstring ErrorText(std::uint32_t code) = 0;
};
