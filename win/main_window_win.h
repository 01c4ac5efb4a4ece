// The main window: menu, stats summary page at the left, tab control with the profile and
// calculator pages at the right. Its creation brings up everything else.
#pragma once
#include "base/gdi_win.h"

extern HINSTANCE gInstance;
extern HWND gMainWindow;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Brings a page forward: selects its tab and shows it, unless it is the page shown.
void SelectPage(HWND page);
// Places the tab control beside the summary page around `page` and sizes the main window to them.
void LayoutForPage(HWND page, int pageWidth, int pageHeight);
// Foreground, in its normal state (restored when minimised).
void ActivateMainWindow();
// A dialog template's size in pixels for `window` (its dialog units).
SIZE TemplateSizePixels(HWND window, int dialogId);
// The message loop's dialog navigation: offers the message to the three pages.
bool IsPageMessage(MSG* msg);
