#pragma once
#include <string>

#include "platform/platform_error.h"

// The clipboard's text. Other programs hold the clipboard for an instant, so
// implementations retry briefly before they throw.
class Clipboard {
  public:
    virtual ~Clipboard() = default;
    virtual void SetText(const std::wstring& text) = 0;
    // The clipboard's text, or an empty string when it holds none.
    virtual std::wstring GetText() = 0;
};
