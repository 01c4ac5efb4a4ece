// "INI 파일 불러오기": another settings file replaces every setting and the active profile.
#pragma once
#include "base/gdi_win.h"

void OpenSettingsFile(HWND owner);
