// The checks made on each capture before the tooltip is looked for: the primary display's size in
// physical pixels, against which a capture's size tells whether the system scaled it, and the
// decision about a capture the reader cannot use.
#pragma once
#include "base/gdi_win.h"
#include "base/pixels.h"
#include "reader/screen_check.h"

struct DisplaySize {
    int width = 0;  // 0 when it could not be found out
    int height = 0;
};

// The primary display's current mode in physical pixels, whatever scaling the system applies to
// programs: the mode of the monitor that holds (0, 0), else the desktop resolution of the screen's
// device context.
DisplaySize PhysicalDisplaySize();

// CheckCapture against the primary display's physical size.
CaptureProblem CheckScreenCapture(const PixelBuffer& capture);
// The same for the screen read by areas. A screen that could not be copied is left to the
// locator, as an empty capture is.
CaptureProblem CheckScreenCapture(SparseScreen& screen);
