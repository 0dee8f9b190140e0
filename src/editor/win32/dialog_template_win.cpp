#include "editor/win32/dialog_template_win.h"

DialogTemplate::DialogTemplate(const wchar_t* caption, short width, short height, bool centred) {
    const DWORD style =
        DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | (centred ? DS_CENTER : 0);
    Add(LOWORD(style));
    Add(HIWORD(style));
    Add(0), Add(0);  // extended style
    countAt_ = words_.size();
    Add(0);  // the number of items, counted as they are added
    Add(0), Add(0), Add(static_cast<WORD>(width)), Add(static_cast<WORD>(height));
    Add(0), Add(0);  // no menu, the dialog class
    Text(caption);
    Add(8);
    Text(L"MS Shell Dlg");
}

void DialogTemplate::Item(WORD atom,
                          const wchar_t* text,
                          DWORD style,
                          short x,
                          short y,
                          short cx,
                          short cy,
                          WORD id) {
    if (words_.size() % 2)
        Add(0);  // every item starts on a DWORD boundary
    style |= WS_CHILD | WS_VISIBLE;
    Add(LOWORD(style)), Add(HIWORD(style)), Add(0), Add(0);
    for (short v : {x, y, cx, cy})
        Add(static_cast<WORD>(v));
    Add(id), Add(0xFFFF), Add(atom);
    Text(text);
    Add(0);  // no creation data
    ++words_[countAt_];
}

void DialogTemplate::Text(const wchar_t* s) {
    for (; *s; ++s)
        Add(static_cast<WORD>(*s));
    Add(0);
}
