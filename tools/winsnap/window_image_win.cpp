#include "window_image_win.h"

#include "shell/handles_win.h"

#include <cstdint>
#include <optional>

namespace winsnap {
namespace {

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
        bitmap_.reset(CreateDIBSection(screen, &info_, DIB_RGB_COLORS, &bits_, nullptr, 0));
        dc_.reset(CreateCompatibleDC(screen));
        if (bitmap_ && dc_)
            selection_.emplace(dc_.get(), bitmap_.get());
    }

    explicit operator bool() const { return selection_.has_value() && bits_ != nullptr; }
    HDC dc() const { return dc_.get(); }
    const void* bits() const { return bits_; }
    const BITMAPINFOHEADER& header() const { return info_.bmiHeader; }

  private:
    BITMAPINFO info_{};
    void* bits_ = nullptr;
    shell::Bitmap bitmap_;
    shell::MemoryDc dc_;
    std::optional<shell::Selection> selection_;
};

bool writeAll(HANDLE file, const void* data, DWORD size) {
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

} // namespace

bool saveScreenRect(const RECT& screenRect, const std::wstring& bmpPath) {
    const int width = screenRect.right - screenRect.left;
    const int height = screenRect.bottom - screenRect.top;
    if (width <= 0 || height <= 0)
        return false;
    const shell::WindowDc screen(nullptr);
    if (!screen)
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

    const shell::FileHandle file(CreateFileW(bmpPath.c_str(), GENERIC_WRITE, 0, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && writeAll(file.get(), &fileHeader, sizeof(fileHeader)) &&
           writeAll(file.get(), &infoHeader, sizeof(infoHeader)) &&
           writeAll(file.get(), canvas.bits(), static_cast<DWORD>(imageSize));
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
