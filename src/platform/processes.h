#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/platform_error.h"

class Processes {
  public:
    virtual ~Processes() = default;
    // Starts a program or script in a normal window that takes the focus; does not wait.
    virtual void Start(const std::wstring& path) = 0;
    // Called once, off the caller's thread, when a watched process has ended;
    // told when the process started (a file time: 100 ns units since 1601).
    using Ended = std::function<void(std::uint64_t startedAt)>;
    // Starts exactly as Start does, then watches the process in the background.
    virtual void StartAndWatch(const std::wstring& path, Ended onEnded) = 0;
    // Starts a program with its arguments (one command-line text) in the
    // folder given, in a normal window with a console of its own; does not wait.
    virtual void StartIn(const std::wstring& program,
                         const std::wstring& arguments,
                         const std::wstring& folder) = 0;
    virtual void Sleep(unsigned milliseconds) = 0;
    // The short (8.3) form of an existing path; empty when the query fails
    // or the short form does not fit 300 characters.
    virtual std::wstring ShortPath(const std::wstring& path) = 0;
};
