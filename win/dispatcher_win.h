// The action dispatcher: a hotkey press becomes one action on a worker thread of its own, which
// captures the screen, stops with an alert of its own on a capture that cannot be read (scaled by
// the system, or entirely black), chooses the glyph pack for the capture's size (the folder
// "glyphs\WIDTHxHEIGHT" beside the program, else the built-in pack) and finds the tooltip, then
// hands the tooltip to the user-interface thread to be read and equipped or compared (or saves it
// as a picture).
#pragma once
#include <string>

#include "base/gdi_win.h"

// Creates the action lock. Call once, before the hotkeys are registered.
void CreateActionLock();
// Appends one line per action to this file (UTF-8 path; empty: no log): its outcome, the time of
// each stage and until the outcome was shown, the glyph pack it read with, the tooltip's rectangle
// and how many pixels of the screen were copied; a pack's problems at its first use; and keeps the
// capture of a failed read (no tooltip, or a kind not identified) beside it as
// "<file without extension>-failed-NNNN.bmp", the ten most recent.
void SetActionLog(const std::string& path);

// Starts the action of a hotkey id (10..14 for actions 1..5) on a new thread; other ids do nothing.
void StartHotkeyAction(int hotkeyId);

// The message a worker sends the main window with its tooltip; the main window procedure passes
// it to OnTooltipForAction, which reads the tooltip and equips or compares on this thread.
constexpr UINT kTooltipForAction = WM_APP + 1;
LRESULT OnTooltipForAction(LPARAM job);

// Waits (bounded, serving sent messages meanwhile) until no action is running. True when none is.
bool WaitForActions(DWORD timeoutMs);

// The pack folder for captures of that size ("glyphs\WIDTHxHEIGHT" beside the program), and
// forgetting the pack loaded from it, so that the next action reads with what it now holds.
std::string GlyphPackFolder(int width, int height);
void DropGlyphPack(int width, int height);
