// Captures the reader cannot use, told apart from a screen that simply shows no tooltip: a copy of
// the screen that the system scaled (display scaling above 100 % reaching a program it treats as
// unaware of it), and a copy that came back entirely black (a game in exclusive full-screen mode, or
// content the system protects from copying).
#pragma once
#include "base/pixels.h"
#include "reader/screen_source.h"

enum class CaptureProblem {
    kNone,
    kScaled,  // the capture's size is not the display's physical size
    kBlack,   // every pixel of the capture is black
};

// True when the buffer holds pixels and every one of them is black. Stops at the first pixel that
// is not; an all-black 4K screen is read in a few milliseconds.
bool IsAllBlack(const PixelBuffer& capture);

// True when a capture of captureWidth x captureHeight cannot be the display of physicalWidth x
// physicalHeight pixels. A physical size that is not known (zero or negative) never is.
bool IsScaledCapture(int captureWidth, int captureHeight, int physicalWidth, int physicalHeight);

// The same for a screen read by areas: decided on the locator's sampled rows, which hold colour on
// any screen it could read; only when they are all black is the rest of the screen read to be sure.
bool IsAllBlack(ScreenSource& screen);

// What keeps the capture from being read, checked in that order: a scaled capture, then an
// all-black one. An empty capture (the screen could not be copied) is left to the locator.
CaptureProblem CheckCapture(const PixelBuffer& capture, int physicalWidth, int physicalHeight);
CaptureProblem CheckCapture(ScreenSource& capture, int physicalWidth, int physicalHeight);
