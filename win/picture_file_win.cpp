// BMP and PNG pictures from files. PNG goes through GDI+, which the program has anyway for JPEG.
#include "win/picture_file_win.h"

#include <cstring>
#include <vector>

#include "base/bmp.h"
#include "base/files.h"
#include "base/gdi_win.h"
// clang-format off
#include <objbase.h>
#include <gdiplus.h>
// clang-format on

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// GDI+ for one scope, and the picture and stream it reads from.
struct PngReader {
    ULONG_PTR token = 0;
    bool started = false;
    IStream* stream = nullptr;
    Gdiplus::GpBitmap* bitmap = nullptr;
    ~PngReader() {
        if (bitmap) Gdiplus::DllExports::GdipDisposeImage(bitmap);
        if (stream) stream->Release();
        if (started) Gdiplus::GdiplusShutdown(token);
    }
};

bool DecodePngGdiplus(const std::vector<uint8_t>& bytes, PixelBuffer& picture, std::string& error) {
    using namespace Gdiplus::DllExports;
    error = "PNG 그림을 읽지 못했습니다";
    PngReader r;
    Gdiplus::GdiplusStartupInput input;
    r.started = Gdiplus::GdiplusStartup(&r.token, &input, nullptr) == Gdiplus::Ok;
    if (!r.started || CreateStreamOnHGlobal(nullptr, TRUE, &r.stream) != S_OK) return false;
    ULONG written = 0;
    LARGE_INTEGER start{};
    if (r.stream->Write(bytes.data(), ULONG(bytes.size()), &written) != S_OK || written != bytes.size() ||
        r.stream->Seek(start, STREAM_SEEK_SET, nullptr) != S_OK ||
        GdipCreateBitmapFromStream(r.stream, &r.bitmap) != Gdiplus::Ok)
        return false;
    UINT width = 0, height = 0;
    GdipGetImageWidth(r.bitmap, &width);
    GdipGetImageHeight(r.bitmap, &height);
    if (width == 0 || height == 0 || width > UINT(kMaxImageSide) || height > UINT(kMaxImageSide) ||
        int64_t(width) * height > kMaxImagePixels)
        return error = "그림이 너무 큽니다", false;
    Gdiplus::GpRect rect(0, 0, INT(width), INT(height));
    Gdiplus::BitmapData data{};
    if (GdipBitmapLockBits(r.bitmap, &rect, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB, &data) !=
        Gdiplus::Ok)
        return false;
    picture = PixelBuffer(int32_t(width), int32_t(height));
    for (UINT y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(data.Scan0) +
                                                            ptrdiff_t(y) * data.Stride);
        for (UINT x = 0; x < width; ++x) {
            const uint32_t v = row[x];  // 0xAARRGGBB to the buffer's 0x00BBGGRR
            picture.pixels[size_t(y) * width + x] = (v >> 16 & 0xFF) | (v & 0xFF00) | (v & 0xFF) << 16;
        }
    }
    GdipBitmapUnlockBits(r.bitmap, &data);
    return true;
}

}  // namespace

bool LoadPictureFile(const std::string& path, PixelBuffer& picture, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, bytes, error)) return false;
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), kPngSignature, 8) == 0)
        return DecodePngGdiplus(bytes, picture, error);
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return DecodeBmp(bytes.data(), bytes.size(), picture, error);
    error = "BMP나 PNG 그림이 아닙니다 (JPEG은 픽셀이 바뀌어 읽을 수 없습니다)";
    return false;
}
