// The profile, calculator and stats summary pages, and the calculator's view hooks on them.
#pragma once
#include "base/gdi_win.h"

extern HWND gProfilePage;
extern HWND gCalculatorPage;
extern HWND gSummaryPage;

INT_PTR CALLBACK ProfilePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK CalculatorPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SummaryPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// One wheel notch over the main window: `lines` page requests to the profile page (no more than
// take it from one end to the other), or one visible height when the system scrolls a screen at a
// time (WHEEL_PAGESCROLL).
void WheelProfilePage(bool up, unsigned lines);

// Installs the calculator's hooks so that its results reach these pages.
void InstallCalcView();
// Shows the active profile's numbers after it was replaced (profile switch, another settings file).
void ShowActiveProfileEverywhere();
