// Saving tooltip pictures under Wine: BMP bytes as the system gives them, JPEG decoded back by
// GDI+, the numbered names, the folder alert and chooser, failed writes, and no shared temporary
// file anywhere.
#include <gtest/gtest.h>
#include <objidl.h>
// clang-format off
#include <gdiplus.h>
// clang-format on

#include <cstdlib>
#include <string>
#include <vector>

#include "app/overlay_replay.h"
#include "base/settings.h"
#include "base/status.h"
#include "tests/win/test_window.h"
#include "win/image_save_win.h"
#include "win/overlay_win.h"

namespace {

// A 10 x 20 bitmap at the screen's depth: pixel (x, y) has red 10x, green 10y, blue 99.
HBITMAP MakeTooltip(int width = 10, int height = 20) {
    BorrowedDC screen(nullptr);
    OwnedDC memory(CreateCompatibleDC(screen.get()));
    HBITMAP bitmap = CreateCompatibleBitmap(screen.get(), width, height);
    Selection selected(memory.get(), bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) SetPixel(memory.get(), x, y, RGB(10 * x, 10 * y, 99));
    return bitmap;
}

// Four flat quarters (red, green, blue, grey) that a JPEG keeps close at their centres.
constexpr COLORREF kQuarters[4] = {RGB(200, 30, 30), RGB(30, 180, 40), RGB(20, 40, 210), RGB(128, 128, 128)};
HBITMAP MakeQuarters(int width, int height) {
    BorrowedDC screen(nullptr);
    OwnedDC memory(CreateCompatibleDC(screen.get()));
    HBITMAP bitmap = CreateCompatibleBitmap(screen.get(), width, height);
    Selection selected(memory.get(), bitmap);
    for (int q = 0; q < 4; ++q) {
        RECT r = {q % 2 * width / 2, q / 2 * height / 2, (q % 2 + 1) * width / 2, (q / 2 + 1) * height / 2};
        OwnedBrush brush(CreateSolidBrush(kQuarters[q]));
        FillRect(memory.get(), &r, brush.get());
    }
    return bitmap;
}

std::vector<uint8_t> ReadAll(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(f, nullptr));
    DWORD read = 0;
    ReadFile(f, bytes.data(), DWORD(bytes.size()), &read, nullptr);
    CloseHandle(f);
    bytes.resize(read);
    return bytes;
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

std::wstring Wide(const std::string& s) {
    std::wstring w(s.size() * 2 + 1, L'\0');
    w.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, s.c_str(), int(s.size()), w.data(), int(w.size()))));
    return w;
}
std::string Narrow(const std::wstring& w) {
    std::string s(w.size() * 3 + 1, '\0');
    s.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, w.c_str(), int(w.size()), s.data(), int(s.size()),
                                        nullptr, nullptr)));
    return s;
}

// The names of the files in a folder.
std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L"..")) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::vector<std::u16string> gAlerts, gNotices;
void Record(PopupTarget target, const PopupRequest& request) {
    (target == PopupTarget::Alert ? gAlerts : gNotices).emplace_back(request.text);
}

int gChooserCalls = 0;
std::string gChooserAnswer;  // empty: the user cancels
bool Chooser() {
    ++gChooserCalls;
    if (gChooserAnswer.empty()) return false;
    gSettings.imageFolder = gChooserAnswer;
    return true;
}

class ImageSave : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = OverlayProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kOverlayClassName;
        RegisterClassExW(&wc);
        CreateOverlayWindow(GetModuleHandleW(nullptr));
    }
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"tallywick_images_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                  std::to_wstring(counter_++);
        CreateDirectoryW(folder_.c_str(), nullptr);
        gSettings.imageFolder = Narrow(folder_);
        gSettings.imageFileExtension = 0;
        gAlerts.clear(), gNotices.clear();
        gChooserCalls = 0, gChooserAnswer.clear();
        SetImageFolderChooser(Chooser);
        SetPopupDelivery(Record);
    }
    void TearDown() override {
        SetPopupDelivery(nullptr);
        SendMessageW(gOverlayWindow, WM_CLOSE, 0, 0);
        for (const std::wstring& name : FilesIn(folder_)) DeleteFileW((folder_ + L"\\" + name).c_str());
        RemoveDirectoryW(folder_.c_str());
        PumpMessages();
    }
    std::wstring folder_;
    static inline int counter_ = 0;
};

TEST_F(ImageSave, TenByTwentyBmpIs854BytesWithTheBitmapsPixels) {
    OwnedBitmap tooltip(MakeTooltip());
    const std::wstring path = folder_ + L"\\one.bmp";
    ASSERT_TRUE(WriteBitmapFile(tooltip.get(), Narrow(path)));
    const std::vector<uint8_t> f = ReadAll(path);
    BITMAP bm{};
    GetObjectW(tooltip.get(), sizeof bm, &bm);
    if (bm.bmBitsPixel != 32) GTEST_SKIP() << "the display is not 32-bit";
    ASSERT_EQ(f.size(), 854u);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(U32(f, 2), 854u);
    EXPECT_EQ(U32(f, 10), 54u);
    EXPECT_EQ(U32(f, 22), 20u);
    EXPECT_EQ(f[28], 32);
    EXPECT_EQ(U32(f, 34), 800u);
    // Rows bottom-up, blue green red: the first stored pixel is (0, 19), the last (9, 0).
    EXPECT_EQ(f[54], 99);
    EXPECT_EQ(f[55], 190);
    EXPECT_EQ(f[56], 0);
    EXPECT_EQ(f[850], 99);
    EXPECT_EQ(f[851], 0);
    EXPECT_EQ(f[852], 90);
}

TEST_F(ImageSave, NumbersCountUpAcrossBothFormatsAndJpegDecodesClose) {
    gSettings.imageFileExtension = 0;
    OwnedBitmap tooltip(MakeQuarters(40, 30));
    auto first = SaveTooltipImage(tooltip.get());
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(*first, Narrow(folder_) + "\\D3Item_0001.bmp");
    EXPECT_EQ(gImageFileName, *first);
    gSettings.imageFileExtension = 1;
    auto second = SaveTooltipImage(tooltip.get());
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(*second, Narrow(folder_) + "\\D3Item_0002.jpg");
    EXPECT_TRUE(gAlerts.empty());

    const std::vector<uint8_t> jpeg = ReadAll(Wide(*second));
    ASSERT_GT(jpeg.size(), 4u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);  // a JPEG start-of-image marker
    // Decoded back by GDI+: the size, and colours within a few steps of the originals.
    using namespace Gdiplus::DllExports;
    ULONG_PTR token;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    Gdiplus::GpBitmap* decoded = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromFile(Wide(*second).c_str(), &decoded), Gdiplus::Ok);
    UINT w = 0, h = 0;
    GdipGetImageWidth(decoded, &w);
    GdipGetImageHeight(decoded, &h);
    EXPECT_EQ(w, 40u);
    EXPECT_EQ(h, 30u);
    // Quality 100 still halves the colour resolution, so saturated quarters move a little.
    for (int q = 0; q < 4; ++q) {
        Gdiplus::ARGB argb = 0;
        GdipBitmapGetPixel(decoded, q % 2 * 20 + 10, q / 2 * 15 + 7, &argb);
        EXPECT_NEAR(int((argb >> 16) & 0xFF), GetRValue(kQuarters[q]), 20) << q;
        EXPECT_NEAR(int((argb >> 8) & 0xFF), GetGValue(kQuarters[q]), 20) << q;
        EXPECT_NEAR(int(argb & 0xFF), GetBValue(kQuarters[q]), 20) << q;
    }
    GdipDisposeImage(decoded);
    Gdiplus::GdiplusShutdown(token);
    // For a check by an independent decoder outside Wine.
    if (const char* keep = std::getenv("TALLYWICK_KEEP_JPEG"))
        CopyFileW(Wide(*second).c_str(), Wide(keep).c_str(), FALSE);

    // A gap left by a deleted file is used again.
    DeleteFileW(Wide(*first).c_str());
    gSettings.imageFileExtension = 0;
    EXPECT_EQ(SaveTooltipImage(tooltip.get()), Narrow(folder_) + "\\D3Item_0001.bmp");
}

TEST_F(ImageSave, JpegNeverTouchesATempFileInTheCurrentFolder) {
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(folder_.c_str()));
    const std::vector<uint8_t> mine = {'m', 'i', 'n', 'e'};
    ASSERT_TRUE(WriteWholeFile(Narrow(folder_) + "\\temp.bmp", mine));
    gSettings.imageFileExtension = 1;
    OwnedBitmap tooltip(MakeTooltip());
    EXPECT_TRUE(SaveTooltipImage(tooltip.get()).has_value());
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(ReadAll(folder_ + L"\\temp.bmp"), mine);
    EXPECT_EQ(FilesIn(folder_).size(), 2u);  // temp.bmp and D3Item_0001.jpg, nothing else
}

TEST_F(ImageSave, TrailingBackslashCountsAsTheFolder) {
    gSettings.imageFolder = Narrow(folder_) + "\\";
    OwnedBitmap tooltip(MakeTooltip());
    EXPECT_EQ(SaveTooltipImage(tooltip.get()), Narrow(folder_) + "\\D3Item_0001.bmp");
    EXPECT_EQ(gChooserCalls, 0);
}

TEST_F(ImageSave, MissingFolderAlertsOnceAndSavesWhereTheUserChooses) {
    gSettings.imageFolder = Narrow(folder_) + "\\missing";
    gChooserAnswer = Narrow(folder_);
    OwnedBitmap tooltip(MakeTooltip());
    EXPECT_EQ(SaveTooltipImage(tooltip.get()), Narrow(folder_) + "\\D3Item_0001.bmp");
    ASSERT_EQ(gAlerts.size(), 1u);
    EXPECT_EQ(gAlerts[0], kAlertCannotSave);
    EXPECT_EQ(gChooserCalls, 1);
    EXPECT_EQ(gSettings.imageFolder, Narrow(folder_));
}

TEST_F(ImageSave, EmptyFolderSettingAndCancelWriteNothing) {
    gSettings.imageFolder.clear();
    HBITMAP tooltip = MakeTooltip();
    SaveItemImage(tooltip, POINTS{100, 50});
    EXPECT_EQ(gAlerts.size(), 1u);
    EXPECT_EQ(gChooserCalls, 1);
    EXPECT_TRUE(gNotices.empty());
    EXPECT_TRUE(FilesIn(folder_).empty());
    EXPECT_FALSE(IsWindowVisible(gOverlayWindow));
    EXPECT_EQ(GetObjectType(tooltip), 0u);  // the action's bitmap is not leaked
}

TEST_F(ImageSave, PathOverTheLimitIsRefusedWithTheFolderAlert) {
    gSettings.imageFolder = "C:\\" + std::string(250, 'a');
    OwnedBitmap tooltip(MakeTooltip());
    EXPECT_EQ(SaveTooltipImage(tooltip.get()), std::nullopt);
    EXPECT_EQ(gAlerts.size(), 1u);
    EXPECT_EQ(gChooserCalls, 1);
}

// A folder that exists but takes no files: an alert instead of the saved notice, no overlay.
TEST_F(ImageSave, UnwritableFolderAlertsWithoutNoticeOrOverlay) {
    const std::string unwritable = "Z:\\proc";  // the host's process folder, seen through Wine
    if (!(GetFileAttributesW(Wide(unwritable).c_str()) & FILE_ATTRIBUTE_DIRECTORY) ||
        GetFileAttributesW(Wide(unwritable).c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no unwritable folder on this system";
    gSettings.imageFolder = unwritable;
    for (int format : {0, 1}) {
        gSettings.imageFileExtension = format;
        gAlerts.clear();
        HBITMAP tooltip = MakeTooltip();
        SaveItemImage(tooltip, POINTS{100, 50});
        ASSERT_EQ(gAlerts.size(), 1u) << format;
        EXPECT_EQ(gAlerts[0], kAlertCannotSave);
        EXPECT_EQ(gChooserCalls, 0);
        EXPECT_TRUE(gNotices.empty());
        EXPECT_FALSE(IsWindowVisible(gOverlayWindow));
        EXPECT_EQ(GetFileAttributesW(L"Z:\\proc\\D3Item_0001.bmp"), INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(ImageSave, SavedItemShowsTheNoticeAndTheOverlayAtTheTooltip) {
    HBITMAP tooltip = MakeTooltip(300, 100);
    SaveItemImage(tooltip, POINTS{100, 50});
    KillTimer(gOverlayWindow, 1);
    ASSERT_EQ(gNotices.size(), 1u);
    EXPECT_EQ(gNotices[0], u"D3Item_0001.bmp 이미지 파일로 저장 되었습니다.");
    EXPECT_TRUE(gAlerts.empty());
    EXPECT_TRUE(IsWindowVisible(gOverlayWindow));
    RECT r;
    GetWindowRect(gOverlayWindow, &r);
    EXPECT_EQ(r.left, 96);
    EXPECT_EQ(r.top, 48);
    EXPECT_EQ(r.right - r.left, 306);
    EXPECT_EQ(GetObjectType(tooltip), DWORD(OBJ_BITMAP));  // now the overlay's picture
}

TEST_F(ImageSave, JpegEncoderIsFoundByItsExactMimeType) {
    ULONG_PTR token;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    CLSID clsid{};
    EXPECT_GE(FindEncoderClsid(L"image/jpeg", &clsid), 0);
    EXPECT_EQ(FindEncoderClsid(L"image/JPEG", &clsid), -1);
    EXPECT_EQ(FindEncoderClsid(L"image/none", &clsid), -1);
    Gdiplus::GdiplusShutdown(token);
}

}  // namespace
