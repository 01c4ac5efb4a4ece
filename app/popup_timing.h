// The notice and alert popups' animation as plain arithmetic: where a popup rests, how far it moves
// or how much it fades per tick, and what each timer tick does. The window procedure only applies
// the results, so every step and truncation here is checked without a window.
#pragma once
#include <cstdint>

#include "base/status.h"

constexpr int32_t kPopupTickMs = 10;
constexpr int32_t kPopupMarginX = 20;
constexpr int32_t kPopupMarginY = 15;
constexpr int32_t kPopupFontHeight = 14;
constexpr int32_t kPopupBottomGap = 50;  // a popup that is not centred rests this far above the bottom

// Where a popup of the given text extent rests and where its animation starts.
struct PopupLayout {
    int32_t x = 0;
    int32_t width = 0, height = 0;  // text extent plus twice the margins, border included
    int32_t targetY = 0;            // resting top edge
    int32_t startY = 0;             // just below the screen when sliding, else targetY
};

PopupLayout LayOutPopup(int32_t textWidth, int32_t textHeight, int32_t screenWidth, int32_t screenHeight,
                        bool centred, bool slide);

// The running animation of one popup; every request starts a new one.
struct PopupAnimation {
    int32_t fadeInMs = 0, fadeOutMs = 0;
    int32_t fadeInLeft = 0, holdLeft = 0, fadeOutLeft = 0;
    bool slide = false;
    int32_t alpha = 0;  // always within 0..255
    bool enterStarted = false, leaveStarted = false;
    float alphaStep = 0, yStep = 0;
    int32_t targetY = 0, currentY = 0, screenHeight = 0;
};

// Durations and starting opacity from a request (fully opaque when sliding, else transparent).
PopupAnimation StartPopupAnimation(const PopupRequest& request);
// Fixes the positions once the popup has been laid out.
void PlacePopupAnimation(PopupAnimation& a, const PopupLayout& layout, int32_t screenHeight);

enum class PopupTick {
    Moved,  // currentY changed: move the window
    Faded,  // alpha changed: set the layered opacity
    Held,   // nothing to show
    Hide,   // every phase is over
};

// One timer tick: the first phase with time left acts.
PopupTick AdvancePopup(PopupAnimation& a);

// Length of a request's text: up to its terminator, at most the 64 characters it holds.
int32_t PopupTextLength(const PopupRequest& request);
