// The notice and alert popups' animation arithmetic.
#include "app/popup_timing.h"

#include <algorithm>

PopupLayout LayOutPopup(int32_t textWidth, int32_t textHeight, int32_t screenWidth, int32_t screenHeight,
                        bool centred, bool slide) {
    PopupLayout l;
    l.width = textWidth + 2 * kPopupMarginX;
    l.height = textHeight + 2 * kPopupMarginY;
    l.x = screenWidth / 2 - l.width / 2;
    l.targetY = centred ? screenHeight / 2 - l.height / 2 : screenHeight - l.height - kPopupBottomGap;
    l.startY = slide ? screenHeight : l.targetY;
    return l;
}

PopupAnimation StartPopupAnimation(const PopupRequest& request) {
    PopupAnimation a;
    a.fadeInMs = a.fadeInLeft = request.fadeInMs;
    a.holdLeft = request.holdMs;
    a.fadeOutMs = a.fadeOutLeft = request.fadeOutMs;
    a.slide = request.slide != 0;
    a.alpha = a.slide ? 255 : 0;
    return a;
}

void PlacePopupAnimation(PopupAnimation& a, const PopupLayout& layout, int32_t screenHeight) {
    a.targetY = layout.targetY;
    a.currentY = layout.startY;
    a.screenHeight = screenHeight;
}

namespace {

// Integer division truncated toward zero, kept as the float the step is stored in. 64-bit, so
// that no distance or duration overflows.
float Step(int64_t distance, int32_t durationMs) {
    return float(distance * kPopupTickMs / durationMs);
}

PopupTick Apply(PopupAnimation& a, float step) {
    if (a.slide) {
        a.currentY = int32_t(float(a.currentY) + step);
        return PopupTick::Moved;
    }
    // Unequal appearing and disappearing times would carry the opacity past either end.
    a.alpha = std::clamp(int32_t(float(a.alpha) + step), 0, 255);
    return PopupTick::Faded;
}

}  // namespace

PopupTick AdvancePopup(PopupAnimation& a) {
    if (a.fadeInLeft > 0) {
        if (!a.enterStarted) {
            a.enterStarted = true;
            if (a.slide)
                a.yStep = Step(int64_t(a.targetY) - a.screenHeight, a.fadeInMs);
            else
                a.alphaStep = Step(255, a.fadeInMs);
        }
        a.fadeInLeft -= kPopupTickMs;
        return Apply(a, a.slide ? a.yStep : a.alphaStep);
    }
    if (a.holdLeft > 0) {
        a.holdLeft -= kPopupTickMs;
        return PopupTick::Held;
    }
    if (a.fadeOutLeft > 0) {
        if (!a.leaveStarted) {
            a.leaveStarted = true;
            if (a.slide)
                a.yStep = Step(int64_t(a.screenHeight) - a.targetY, a.fadeOutMs);
            else
                a.alphaStep = Step(-255, a.fadeOutMs);
        }
        a.fadeOutLeft -= kPopupTickMs;
        return Apply(a, a.slide ? a.yStep : a.alphaStep);
    }
    return PopupTick::Hide;
}

int32_t PopupTextLength(const PopupRequest& request) {
    int32_t n = 0;
    while (n < kPopupTextMax && request.text[n] != 0) ++n;
    return n;
}
