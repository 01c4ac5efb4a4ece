// Saving tooltip pictures: naming and folder checks through the portable name chooser, BMP bytes
// from the bitmap's bits, JPEG through the GDI+ flat interface entirely in memory.
#include "win/image_save_win.h"

#include <objidl.h>

#include <algorithm>

#include "app/ini_win.h"
// clang-format off
#include <gdiplus.h>
// clang-format on

#include "app/bitmap_file.h"
#include "app/image_names.h"
#include "base/settings.h"
#include "base/status.h"
#include "win/overlay_win.h"

std::string gImageFileName;

namespace {

ImageFolderChooser gChooser = nullptr;

bool FolderExists(const std::string& folder) {
    const DWORD attributes = GetFileAttributesW(Utf8ToWide(folder).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool AnyFileMatches(const std::string& pattern) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Utf8ToWide(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

// Starts GDI+ for one scope.
class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;  // version 1, no callback, nothing suppressed
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (ok_) Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    explicit operator bool() const { return ok_; }

private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

// A COM stream released at the end of its scope.
struct StreamHolder {
    IStream* stream = nullptr;
    ~StreamHolder() {
        if (stream) stream->Release();
    }
};

bool StreamFromBytes(const std::vector<uint8_t>& bytes, StreamHolder& out) {
    if (CreateStreamOnHGlobal(nullptr, TRUE, &out.stream) != S_OK) return false;
    ULONG written = 0;
    if (out.stream->Write(bytes.data(), ULONG(bytes.size()), &written) != S_OK || written != bytes.size())
        return false;
    LARGE_INTEGER start{};
    return out.stream->Seek(start, STREAM_SEEK_SET, nullptr) == S_OK;
}

bool BytesFromStream(IStream* stream, std::vector<uint8_t>& bytes) {
    STATSTG stat{};
    if (stream->Stat(&stat, STATFLAG_NONAME) != S_OK || stat.cbSize.QuadPart > 0x7FFFFFFF) return false;
    bytes.resize(size_t(stat.cbSize.QuadPart));
    LARGE_INTEGER start{};
    ULONG read = 0;
    if (stream->Seek(start, STREAM_SEEK_SET, nullptr) != S_OK) return false;
    return stream->Read(bytes.data(), ULONG(bytes.size()), &read) == S_OK && read == bytes.size();
}

// The GDI+ quality parameter {1d5be4b5-fa4a-452d-9cdd-5db35105e7eb}.
constexpr GUID kEncoderQuality = {
    0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};

}  // namespace

void SetImageFolderChooser(ImageFolderChooser chooser) {
    gChooser = chooser;
}

int FindEncoderClsid(const wchar_t* mimeType, CLSID* clsid) {
    UINT count = 0, size = 0;
    if (Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return -1;
    std::vector<uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::DllExports::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok) return -1;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && wcscmp(codecs[i].MimeType, mimeType) == 0) {
            if (clsid) *clsid = codecs[i].Clsid;
            return int(i);
        }
    }
    return -1;
}

bool ConvertBitmapToJpeg(const std::vector<uint8_t>& bmpFile, std::vector<uint8_t>& jpeg) {
    using namespace Gdiplus::DllExports;
    GdiplusSession gdiplus;
    if (!gdiplus) return false;
    StreamHolder source, target;
    if (!StreamFromBytes(bmpFile, source)) return false;
    CLSID encoder;
    if (FindEncoderClsid(L"image/jpeg", &encoder) < 0) return false;
    Gdiplus::GpBitmap* picture = nullptr;
    if (GdipCreateBitmapFromStream(source.stream, &picture) != Gdiplus::Ok) return false;

    ULONG quality = 100;
    Gdiplus::EncoderParameters parameters{};
    parameters.Count = 1;
    parameters.Parameter[0].Guid = kEncoderQuality;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Value = &quality;
    bool ok = CreateStreamOnHGlobal(nullptr, TRUE, &target.stream) == S_OK &&
              GdipSaveImageToStream(picture, target.stream, &encoder, &parameters) == Gdiplus::Ok;
    GdipDisposeImage(picture);
    return ok && BytesFromStream(target.stream, jpeg) && !jpeg.empty();
}

std::vector<uint8_t> BitmapFileBytes(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return {};
    DibDescription dib;
    dib.width = bm.bmWidth;
    dib.height = bm.bmHeight;
    dib.bitCount = uint16_t(bm.bmPlanes * bm.bmBitsPixel);
    const uint32_t paletteBytes = DibPaletteBytes(dib.bitCount);
    // Room for a colour table, or for the three colour masks some systems add after the header.
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + std::max<uint32_t>(paletteBytes, 12));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = dib.width;
    header->biHeight = dib.height;
    header->biPlanes = 1;
    header->biBitCount = dib.bitCount;
    header->biCompression = BI_RGB;

    BorrowedDC screen(nullptr);
    auto* bitmapInfo = reinterpret_cast<BITMAPINFO*>(info.data());
    if (!GetDIBits(screen.get(), bitmap, 0, UINT(dib.height), nullptr, bitmapInfo, DIB_RGB_COLORS)) return {};
    const uint32_t needed = DibImageBytes(dib.width, dib.height, dib.bitCount);
    dib.sizeImage = std::max<uint32_t>(header->biSizeImage, needed);
    // The bits are wanted as plain rows whatever layout the first call reported.
    header->biCompression = BI_RGB;
    header->biBitCount = dib.bitCount;
    header->biSizeImage = dib.sizeImage;
    std::vector<uint8_t> rows(dib.sizeImage);
    if (GetDIBits(screen.get(), bitmap, 0, UINT(dib.height), rows.data(), bitmapInfo, DIB_RGB_COLORS) !=
        dib.height)
        return {};
    return EncodeBitmapFile(dib, paletteBytes ? info.data() + sizeof(BITMAPINFOHEADER) : nullptr, rows.data(),
                            rows.size());
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::wstring wide = Utf8ToWide(path);
    HANDLE file =
        CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD dwWritten = 0;
    bool ok = bytes.size() <= MAXDWORD &&
              WriteFile(file, bytes.data(), DWORD(bytes.size()), &dwWritten, nullptr) &&
              dwWritten == bytes.size();
    ok = CloseHandle(file) && ok;
    if (!ok) DeleteFileW(wide.c_str());
    return ok;
}

bool WriteBitmapFile(HBITMAP bitmap, const std::string& path) {
    const std::vector<uint8_t> bytes = BitmapFileBytes(bitmap);
    return !bytes.empty() && WriteWholeFile(path, bytes);
}

std::optional<std::string> ChooseImagePath(bool bmp) {
    for (;;) {
        const std::string folder = NormaliseFolderText(ImageFolder());
        if (!folder.empty() && FolderExists(folder)) {
            if (auto path = NextImageFileName(folder, bmp, AnyFileMatches)) return path;
        }
        ShowAlert(kAlertCannotSave);
        if (!gChooser || !gChooser()) return std::nullopt;
    }
}

std::optional<std::string> SaveTooltipImage(HBITMAP tooltip, bool* cancelled) {
    if (cancelled) *cancelled = false;
    const bool bmp = gSettings.imageFileExtension == 0;
    std::optional<std::string> path = ChooseImagePath(bmp);
    if (!path) {
        if (cancelled) *cancelled = true;
        return std::nullopt;
    }
    gImageFileName = *path;
    std::vector<uint8_t> bytes = BitmapFileBytes(tooltip);
    std::vector<uint8_t> jpeg;
    if (!bmp && !bytes.empty() && !ConvertBitmapToJpeg(bytes, jpeg)) bytes.clear();
    if (bytes.empty() || !WriteWholeFile(*path, bmp ? bytes : jpeg)) {
        ShowAlert(kAlertCannotSave);
        return std::nullopt;
    }
    return path;
}

const char* SaveItemImage(HBITMAP tooltip, POINTS position) {
    if (!tooltip) return "no-bitmap";
    // Saved before the overlay gets it: the bits must not be read while the overlay paints it.
    bool cancelled = false;
    std::optional<std::string> path = SaveTooltipImage(tooltip, &cancelled);
    if (!path) {
        DeleteObject(tooltip);
        return cancelled ? "save-cancelled" : "save-failed";
    }
    SetOverlayPicture(tooltip);
    const std::wstring wide = Utf8ToWide(*path);
    ShowSavedNotice(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
    ShowOverlay(position.x, position.y);
    return "save-image";
}
