// The three popups that report to the player over the game without taking the keyboard: the alert
// (failures, centred, fading), the notice (successes, sliding up from the bottom) and the
// modified-stats popup (a compare's changes, top-left, draggable).
#pragma once
#include <string>

#include "app/stat_delta.h"
#include "base/gdi_win.h"
#include "base/status.h"

constexpr wchar_t kNoticePopupClassName[] = L"Notice Popup Class";
constexpr wchar_t kModifiedStatsPopupClassName[] = L"Modified Stats Popup Class";
constexpr wchar_t kModifiedStatsPopupTitle[] = L"Tallywick Popup";
constexpr wchar_t kNoticePopupTitle[] = L"Tallywick Notice Popup";
constexpr wchar_t kAlertPopupTitle[] = L"Tallywick Alert Popup";

// The popups, once created.
extern HWND gModifiedStatsPopup;
extern HWND gNoticePopup;
extern HWND gAlertPopup;

// Window procedures of the classes "Notice Popup Class" (notice and alert) and "Modified Stats
// Popup Class", registered by the program entry with CS_HREDRAW | CS_VREDRAW, the arrow cursor and
// the stock LTGRAY_BRUSH.
LRESULT CALLBACK NoticePopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ModifiedStatsPopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the modified-stats, notice and alert popups hidden, in that order, into the globals.
void CreatePopupWindows(HINSTANCE instance);

// Delivers the status messages (ShowAlert, ShowEquipNotice, ShowSavedNotice) to the popups from any
// thread; each returns once the popup has taken its copy.
void InstallPopupDelivery();

// Sends a request to the notice or the alert popup and returns once it has been taken.
void ShowPopupRequest(HWND popup, const PopupRequest& request);

// Stops the window's animation and hides it at once; from any thread.
void HidePopup(HWND window);

// Fills the modified-stats popup from the current and the modified summary and fades it in.
void ShowModifiedStats();

// What a popup holds, for tests and diagnostics: the notice or alert text, and the three lines of
// the modified-stats popup.
std::u16string PopupText(HWND popup);
void ModifiedStatsLines(StatDeltaText (&lines)[3]);
