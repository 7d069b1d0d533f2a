// Owners of the system's handles: GDI objects, device contexts, kernel
// handles, global memory and the clipboard. Each releases what it holds when
// it goes out of scope; none can be copied, all but the scoped ones can be
// moved, so every early return gives back what it took.
#pragma once

#include <windows.h>

#include <utility>

namespace shell {

// A handle of type Handle released by Close, with `invalid` as its empty value.
template <class Handle, auto Close, Handle invalid = Handle{}> class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != invalid; }
    // Gives up ownership, for example of a block handed to the clipboard.
    Handle release() { return std::exchange(handle_, invalid); }
    void reset(Handle handle = invalid) {
        if (handle_ != invalid)
            Close(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_ = invalid;
};

namespace detail {
inline void deleteGdiObject(HGDIOBJ object) {
    DeleteObject(object);
}
inline void deleteDc(HDC dc) {
    DeleteDC(dc);
}
inline void closeHandle(HANDLE handle) {
    CloseHandle(handle);
}
inline void freeGlobal(HGLOBAL block) {
    GlobalFree(block);
}
inline void destroyIcon(HICON icon) {
    DestroyIcon(icon);
}
} // namespace detail

template <class Object> using GdiObject = UniqueHandle<Object, &detail::deleteGdiObject>;
using Pen = GdiObject<HPEN>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;
// A device context of our own making (CreateCompatibleDC).
using MemoryDc = UniqueHandle<HDC, &detail::deleteDc>;
// A process, thread or event handle: empty when null.
using KernelHandle = UniqueHandle<HANDLE, &detail::closeHandle>;
using GlobalMemory = UniqueHandle<HGLOBAL, &detail::freeGlobal>;
using Icon = UniqueHandle<HICON, &detail::destroyIcon>;

// A file handle: empty when INVALID_HANDLE_VALUE, as CreateFileW fails.
class FileHandle {
  public:
    FileHandle() = default;
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { reset(); }
    FileHandle(FileHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    FileHandle& operator=(FileHandle&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        }
        return *this;
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    void reset() {
        if (*this)
            CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

  private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The device context of a window (or of the screen, for a null window):
// its client area from GetDC, or the whole window, frame included, from
// GetWindowDC.
class WindowDc {
  public:
    enum class Area { client, whole };
    explicit WindowDc(HWND window, Area area = Area::client)
        : window_(window), dc_(area == Area::whole ? GetWindowDC(window) : GetDC(window)) {}
    ~WindowDc() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// BeginPaint and EndPaint around a WM_PAINT handler.
class PaintDc {
  public:
    explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDc() { EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return dc_; }
    const RECT& area() const { return paint_.rcPaint; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// An object selected into a device context for the scope, then the previous
// one selected back.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selection() {
        if (previous_ && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The clipboard, open for the scope. Another program may hold it open: then
// isOpen() is false and nothing may be placed.
class ClipboardSession {
  public:
    explicit ClipboardSession(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~ClipboardSession() {
        if (open_)
            CloseClipboard();
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    bool isOpen() const { return open_; }

  private:
    bool open_;
};

} // namespace shell
