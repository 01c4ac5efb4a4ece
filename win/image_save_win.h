// The capture action: the tooltip saved under the next free numbered name in the image folder, as
// BMP or JPEG, then confirmed by the notice and replayed by the overlay.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/gdi_win.h"

inline constexpr char16_t kAlertCannotSave[] =
    u"지정한 경로에 파일을 저장할 수 없습니다. 다른 폴더 경로를 선택해 주세요.";

// The folder chooser of the settings dialog, provided by the program: shows the folder browser
// titled "저장할 폴더를 선택하세요.", stores the choice with SetImageFolder and returns
// whether a folder was chosen. Without one, asking for a folder counts as a cancel.
using ImageFolderChooser = bool (*)();
void SetImageFolderChooser(ImageFolderChooser chooser);

// The last chosen file name (UTF-8), kept until the next save.
extern std::string gImageFileName;

// The fifth action, on the worker thread inside the action lock. Takes ownership of `tooltip`
// (which must not be selected into a device context): on success the overlay keeps it as its
// picture, otherwise it is deleted. The outcome for the action log: "save-image", "save-cancelled"
// (the player cancelled the folder chooser), "save-failed" (no file could be written) or
// "no-bitmap".
const char* SaveItemImage(HBITMAP tooltip, POINTS position);

// Saves in the configured format; the path written, or nothing (after an alert) when no file could
// be written or, `cancelled` then set, the player cancelled the folder chooser.
std::optional<std::string> SaveTooltipImage(HBITMAP tooltip, bool* cancelled = nullptr);

// A free name in the image folder, asking for another folder (alert and chooser) as long as the
// folder is missing, full, or too deep for the path limit. Nothing when the user cancels.
std::optional<std::string> ChooseImagePath(bool bmp);

// The BMP file of a bitmap at its own colour depth, as the system delivers its bits. Empty when the
// bitmap cannot be read.
std::vector<uint8_t> BitmapFileBytes(HBITMAP bitmap);
// Writes the BMP file; false when the file could not be written completely (nothing is left).
bool WriteBitmapFile(HBITMAP bitmap, const std::string& path);
// A JPEG at quality 100 of a BMP file held in memory; GDI+ is started and shut down around it.
bool ConvertBitmapToJpeg(const std::vector<uint8_t>& bmpFile, std::vector<uint8_t>& jpeg);
// The index and class id of the installed encoder of exactly this MIME type, or -1. GDI+ must be
// running.
int FindEncoderClsid(const wchar_t* mimeType, CLSID* clsid);

// Writes bytes to a new or replaced file; on any failure the partial file is removed.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);
