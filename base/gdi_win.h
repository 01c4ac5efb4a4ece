// Small owners for GDI handles, so that every path out of a drawing or capture routine gives back
// what it made, borrowed or selected. Include this instead of <windows.h> in the Win32 files.
#pragma once
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// A device context made by CreateDCW or CreateCompatibleDC; DeleteDC at the end.
class OwnedDC {
public:
    explicit OwnedDC(HDC dc) : dc_(dc) {}
    ~OwnedDC() {
        if (dc_) DeleteDC(dc_);
    }
    OwnedDC(const OwnedDC&) = delete;
    OwnedDC& operator=(const OwnedDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// A window's (or, for nullptr, the screen's) device context borrowed by GetDC; ReleaseDC at the end.
class BorrowedDC {
public:
    explicit BorrowedDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~BorrowedDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    BorrowedDC(const BorrowedDC&) = delete;
    BorrowedDC& operator=(const BorrowedDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// A GDI object (bitmap, brush, pen, font) deleted with DeleteObject unless handed on by release().
template <class Handle>
class GdiObject {
public:
    explicit GdiObject(Handle object = nullptr) : object_(object) {}
    ~GdiObject() {
        if (object_) DeleteObject(object_);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    Handle get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    Handle release() {
        Handle object = object_;
        object_ = nullptr;
        return object;
    }

private:
    Handle object_;
};

using OwnedBitmap = GdiObject<HBITMAP>;
using OwnedBrush = GdiObject<HBRUSH>;

// An object selected into a device context for one scope; the previous object goes back at the end,
// so that a bitmap can be deleted or handed out unselected.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~Selection() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    explicit operator bool() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};
