#pragma once
// Owners of the Windows handles the program opens: each gives its handle back
// when it goes out of scope, on every path out, exceptions included. Windows
// code uses these rather than pairing open and close by hand.
#include <windows.h>

#include <utility>

#include "platform/win32/win32_platform.h"

// A kernel handle (file, process, thread). Both "no handle" values that
// Windows uses, null and INVALID_HANDLE_VALUE, count as empty.
class ScopedHandle {
  public:
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE h) : h_(h) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() { Reset(); }
    HANDLE Get() const { return h_; }
    explicit operator bool() const { return h_ && h_ != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE h = nullptr) {
        if (*this)
            CloseHandle(h_);
        h_ = h;
    }

  private:
    HANDLE h_ = nullptr;
};

// An open registry key; Out() is for the Reg*Ex calls that fill one in.
class ScopedRegKey {
  public:
    ScopedRegKey() = default;
    ScopedRegKey(const ScopedRegKey&) = delete;
    ScopedRegKey& operator=(const ScopedRegKey&) = delete;
    ~ScopedRegKey() { Reset(); }
    HKEY Get() const { return key_; }
    HKEY* Out() {
        Reset();
        return &key_;
    }
    void Reset() {
        if (key_)
            RegCloseKey(key_);
        key_ = nullptr;
    }

  private:
    HKEY key_ = nullptr;
};

// A GDI object the program made (font, brush); HFONT for the fonts windows keep.
template <class Object>
class ScopedGdiObject {
  public:
    ScopedGdiObject() = default;
    explicit ScopedGdiObject(Object object) : object_(object) {}
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
    ~ScopedGdiObject() { Reset(nullptr); }
    void Reset(Object object) {
        if (object_)
            DeleteObject(object_);
        object_ = object;
    }
    // Hands the object over to the caller, who deletes it.
    Object Release() { return std::exchange(object_, nullptr); }
    Object Get() const { return object_; }

  private:
    Object object_ = nullptr;
};
using ScopedFont = ScopedGdiObject<HFONT>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;

// A window's device context for measuring or drawing outside WM_PAINT.
class ScopedWindowDC {
  public:
    explicit ScopedWindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    ~ScopedWindowDC() {
        if (dc_)
            ReleaseDC(hwnd_, dc_);
    }
    HDC Get() const { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
};

// WM_PAINT's device context, BeginPaint to EndPaint.
class ScopedPaint {
  public:
    explicit ScopedPaint(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    ~ScopedPaint() { EndPaint(hwnd_, &paint_); }
    HDC Get() const { return dc_; }
    const RECT& Area() const { return paint_.rcPaint; }

  private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Objects selected into a device context; whatever was selected before the
// first one is put back at the end, so the caller's objects can be deleted.
class ScopedSelection {
  public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), original_(SelectObject(dc, object)) {}
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;
    ~ScopedSelection() {
        if (original_)
            SelectObject(dc_, original_);
    }
    void Select(HGDIOBJ object) { SelectObject(dc_, object); }

  private:
    HDC dc_;
    HGDIOBJ original_;
};

// The clipboard opened for one window. Another program may hold it for an
// instant, so opening is tried again a few times before PlatformError.
class ScopedClipboard {
  public:
    explicit ScopedClipboard(HWND owner) {
        WithShortRetry([&] {
            if (!OpenClipboard(owner))
                ThrowWin32(L"OpenClipboard", ERROR_CLIPBOARD_NOT_OPEN);
        });
    }
    ScopedClipboard(const ScopedClipboard&) = delete;
    ScopedClipboard& operator=(const ScopedClipboard&) = delete;
    ~ScopedClipboard() { CloseClipboard(); }
};

// Movable global memory (the clipboard's currency), freed unless handed over.
class ScopedGlobal {
  public:
    explicit ScopedGlobal(HGLOBAL memory) : memory_(memory) {}
    ScopedGlobal(const ScopedGlobal&) = delete;
    ScopedGlobal& operator=(const ScopedGlobal&) = delete;
    ~ScopedGlobal() {
        if (memory_)
            GlobalFree(memory_);
    }
    HGLOBAL Get() const { return memory_; }
    HGLOBAL Release() { return std::exchange(memory_, nullptr); }

  private:
    HGLOBAL memory_;
};
