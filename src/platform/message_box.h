#pragma once
#include <string>

// Styles and answers as the platform numbers them.
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbYesNoCancel = 0x3;
constexpr unsigned kMbYesNo = 0x4;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconStop = 0x10;
constexpr unsigned kMbIconInformation = 0x40;
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// The program's title: message boxes without a title of their own show it.
inline const wchar_t kProgramTitle[] = L"Korveline";

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // An empty title shows the program's title. Returns the button pressed.
    virtual int Show(const std::wstring& text, unsigned style, const std::wstring& title = {}) = 0;
};
