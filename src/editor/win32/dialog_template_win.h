#pragma once
// A dialog template built in memory (sizes in dialog units), so that the
// editor's dialogs need no resource of the program's.
#include <windows.h>

#include <vector>

// A dialog template in memory (sizes in dialog units), so that the dialog
// needs no resource of the program's.
class DialogTemplate {
  public:
    DialogTemplate(const wchar_t* caption, short width, short height, bool centred);
    // An item of a predefined class (its atom below), in dialog units.
    void Item(WORD atom, const wchar_t* text, DWORD style, short x, short y, short cx, short cy, WORD id);
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void Add(WORD w) { words_.push_back(w); }
    void Text(const wchar_t* s);
    std::vector<WORD> words_;
    std::size_t countAt_ = 0;
};

// The predefined classes of dialog items, by atom.
constexpr WORD kButtonAtom = 0x80, kEditAtom = 0x81, kStaticAtom = 0x82;
