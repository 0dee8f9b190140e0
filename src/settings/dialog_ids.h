#pragma once
// Control ids of the settings dialogs, for their windows and for tests that
// drive them. None is IDOK or IDCANCEL: no button answers Enter or Esc.

// frmTasm, frmTlink
constexpr int kIdToolText = 201;  // txtTasm, txtTlink
constexpr int kIdToolOk = 202;
constexpr int kIdToolBrowse = 203;
constexpr int kIdToolCancel = 204;
constexpr int kIdToolFrame = 205;
constexpr int kIdToolLabel = 206;

// frmCommand, frmCommand2. Row 0 is the 16-bit kind, row 1 the 32-bit kind.
constexpr int kIdOptionsOk = 301;
constexpr int kIdOptionsCancel = 302;
constexpr int kIdOptionsCom = 303;      // "Com files", EXE dialog only
constexpr int kIdOptionsDefault = 304;  // Command1
constexpr int kIdOptionsTasm[2] = {311, 313};
constexpr int kIdOptionsTlink[2] = {312, 314};
constexpr int kIdOptionsSave[2] = {321, 322};
constexpr int kIdOptionsFrame[2] = {331, 332};
