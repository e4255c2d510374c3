// Device contexts: a non-owning CDC with the drawing calls we use, and owners that release
// what they acquired (paint, client and memory contexts, GDI objects, selections).
#pragma once
#include <windows.h>

namespace qp {

class CDC {
public:
    explicit CDC(HDC hdc = nullptr) : hdc_(hdc) {}
    HDC Handle() const { return hdc_; }
    operator HDC() const { return hdc_; }

    HGDIOBJ Select(HGDIOBJ obj) const { return ::SelectObject(hdc_, obj); }
    int SetROP2(int mode) const { return ::SetROP2(hdc_, mode); }
    int SetBkMode(int mode) const { return ::SetBkMode(hdc_, mode); }
    COLORREF SetTextColor(COLORREF c) const { return ::SetTextColor(hdc_, c); }

    void FillSolidRect(const RECT& r, COLORREF c) const;
    // Outline only: draws with the selected pen and brush (a hollow brush leaves the inside).
    void Rectangle(const RECT& r) const { ::Rectangle(hdc_, r.left, r.top, r.right, r.bottom); }
    // A one-pixel frame, light on the top and left and dark on the bottom and right.
    void Draw3dRect(const RECT& r, COLORREF top_left, COLORREF bottom_right) const;
    bool BitBlt(int x, int y, int cx, int cy, HDC src, int sx, int sy, DWORD rop = SRCCOPY) const {
        return ::BitBlt(hdc_, x, y, cx, cy, src, sx, sy, rop) != FALSE;
    }

protected:
    HDC hdc_;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hwnd) : hwnd_(hwnd) { hdc_ = ::BeginPaint(hwnd, &ps_); }
    ~CPaintDC() { ::EndPaint(hwnd_, &ps_); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    const RECT& PaintRect() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
};

class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hwnd) : hwnd_(hwnd) { hdc_ = ::GetDC(hwnd); }
    ~CClientDC() { if (hdc_) ::ReleaseDC(hwnd_, hdc_); }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

private:
    HWND hwnd_;
};

// A memory context compatible with another, deleted with the object.
class CMemoryDC : public CDC {
public:
    explicit CMemoryDC(HDC like) { hdc_ = ::CreateCompatibleDC(like); }
    ~CMemoryDC() { if (hdc_) ::DeleteDC(hdc_); }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
};

// Selects an object for a scope and puts the previous one back.
class CSelectObject {
public:
    CSelectObject(HDC hdc, HGDIOBJ obj) : hdc_(hdc), old_(::SelectObject(hdc, obj)) {}
    ~CSelectObject() { if (old_) ::SelectObject(hdc_, old_); }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC hdc_;
    HGDIOBJ old_;
};

// Owns a pen, brush, bitmap or font.
template <class H>
class CGdiObject {
public:
    explicit CGdiObject(H h = nullptr) : h_(h) {}
    ~CGdiObject() { Reset(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    void Reset(H h = nullptr) {
        if (h_) ::DeleteObject(h_);
        h_ = h;
    }
    H Get() const { return h_; }
    operator H() const { return h_; }

private:
    H h_;
};

}  // namespace qp
