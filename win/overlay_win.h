// The overlay window that replays a saved tooltip over the game, passing any key or mouse input it
// receives to the game's window; and three small window routines the other windows share.
#pragma once
#include "base/gdi_win.h"

// The show message of the popups and of the overlay (sent, so it completes before the sender goes on).
constexpr UINT kShowMessage = WM_USER + 1;
// Private messages that carry work to the window's own thread.
constexpr UINT kHideMessage = WM_USER + 2;        // HidePopup from another thread
constexpr UINT kSetPictureMessage = WM_USER + 3;  // wParam: the new HBITMAP, now the window's

constexpr wchar_t kOverlayClassName[] = L"Transparent Popup Class";
constexpr wchar_t kOverlayTitle[] = L"Transparent Window";
constexpr wchar_t kGameWindowClassName[] = L"D3 Main Window Class";

// The overlay window, once created.
extern HWND gOverlayWindow;

// Window procedure of the class "Transparent Popup Class" (class style CS_HREDRAW | CS_VREDRAW,
// background COLOR_BTNFACE + 1, arrow cursor), registered by the program entry.
LRESULT CALLBACK OverlayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the overlay hidden at (500, 500), 300 x 300, layered at alpha 200; keeps it in
// gOverlayWindow.
HWND CreateOverlayWindow(HINSTANCE instance);

// Gives the overlay the picture it shows from now on; the overlay owns it and deletes the previous
// one (on its own thread, so never while painting it). Safe from any thread.
void SetOverlayPicture(HBITMAP picture);

// Starts the replay at the tooltip's screen position; ignored while a replay is running or when no
// picture has been given.
void ShowOverlay(int x, int y);

// Paints the picture stretched over `client` (the overlay's paint, usable off screen).
void PaintOverlay(HDC dc, const RECT& client);

// Copies the whole bitmap at its own size to (x, y) of `dc`, through the dc's mapping mode.
void DrawBitmap(HDC dc, int x, int y, HBITMAP bitmap);

// For WM_ACTIVATE: hands the activation straight back to the window that lost it.
void ReturnActivation(WPARAM wParam, LPARAM lParam);

// The game's top-level window, looked up afresh; nullptr when the game is not running.
HWND FindGameWindow();

// Passes a message unchanged to the game's window; its result, or 0 without a game window.
LRESULT ForwardToGameWindow(UINT message, WPARAM wParam, LPARAM lParam);

// Resizes `window` so that its client area is width x height, without moving it or changing its
// z-order; HWND_TOPMOST is handed as insert-after window when `topmost`, so a minimised main window
// can recognise and replay the request.
void SizeWindowToClient(HWND window, int width, int height, bool topmost);
