#include "window_image.h"

#include <cstdint>

namespace winsnap {
namespace {

class ScreenDc {
  public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() {
        if (dc_)
            ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

// A 24-bit bottom-up DIB section selected into a memory DC: its bits are
// already in the order a BMP file stores them.
class Canvas {
  public:
    Canvas(HDC screen, int width, int height) {
        info_.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info_.bmiHeader.biWidth = width;
        info_.bmiHeader.biHeight = height;
        info_.bmiHeader.biPlanes = 1;
        info_.bmiHeader.biBitCount = 24;
        info_.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(screen, &info_, DIB_RGB_COLORS, &bits_, nullptr, 0);
        dc_ = CreateCompatibleDC(screen);
        if (bitmap_ && dc_)
            previous_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        if (previous_)
            SelectObject(dc_, previous_);
        if (dc_)
            DeleteDC(dc_);
        if (bitmap_)
            DeleteObject(bitmap_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    explicit operator bool() const { return previous_ != nullptr && bits_ != nullptr; }
    HDC dc() const { return dc_; }
    const void* bits() const { return bits_; }
    const BITMAPINFOHEADER& header() const { return info_.bmiHeader; }

  private:
    BITMAPINFO info_{};
    HBITMAP bitmap_ = nullptr;
    void* bits_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

class OutputFile {
  public:
    explicit OutputFile(const std::wstring& path)
        : file_(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~OutputFile() {
        if (file_ != INVALID_HANDLE_VALUE)
            CloseHandle(file_);
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    explicit operator bool() const { return file_ != INVALID_HANDLE_VALUE; }
    bool write(const void* data, DWORD size) {
        DWORD written = 0;
        return WriteFile(file_, data, size, &written, nullptr) && written == size;
    }

  private:
    HANDLE file_;
};

} // namespace

bool saveScreenRect(const RECT& screenRect, const std::wstring& bmpPath) {
    const int width = screenRect.right - screenRect.left;
    const int height = screenRect.bottom - screenRect.top;
    if (width <= 0 || height <= 0)
        return false;
    ScreenDc screen;
    if (!screen.get())
        return false;
    Canvas canvas(screen.get(), width, height);
    if (!canvas)
        return false;
    if (!BitBlt(canvas.dc(), 0, 0, width, height, screen.get(), screenRect.left, screenRect.top,
                SRCCOPY | CAPTUREBLT))
        return false;
    GdiFlush();

    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * 3 + 3) & ~std::uint64_t{3};
    const std::uint64_t imageSize = stride * static_cast<std::uint64_t>(height);
    const DWORD headersSize = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    if (imageSize + headersSize > 0xFFFFFFFFu)
        return false;
    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42; // "BM"
    fileHeader.bfSize = static_cast<DWORD>(headersSize + imageSize);
    fileHeader.bfOffBits = headersSize;
    BITMAPINFOHEADER infoHeader = canvas.header();
    infoHeader.biSizeImage = static_cast<DWORD>(imageSize);

    OutputFile file(bmpPath);
    return file && file.write(&fileHeader, sizeof(fileHeader)) &&
           file.write(&infoHeader, sizeof(infoHeader)) &&
           file.write(canvas.bits(), static_cast<DWORD>(imageSize));
}

bool saveWindowImage(HWND window, const std::wstring& bmpPath) {
    RECT rect;
    if (!window || !GetWindowRect(window, &rect))
        return false;
    return saveScreenRect(rect, bmpPath);
}

bool saveScreenImage(const std::wstring& bmpPath) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const RECT rect{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                    top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    return saveScreenRect(rect, bmpPath);
}

} // namespace winsnap
