// <windows.h> with the common controls, common dialogs and shell: include this, never those
// headers directly, since they need <windows.h> first.
#pragma once
#include "base/gdi_win.h"
// (kept apart so that sorting the includes cannot put these first)
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
