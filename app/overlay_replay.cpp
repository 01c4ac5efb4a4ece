// The overlay's replay arithmetic.
#include "app/overlay_replay.h"

OverlayFrame StartOverlayReplay(uint32_t packedPosition, int32_t pictureWidth, int32_t pictureHeight) {
    OverlayFrame f;
    f.x = PackedX(packedPosition);
    f.y = PackedY(packedPosition);
    f.width = pictureWidth;
    f.height = pictureHeight;
    f.alpha = 255;
    return f;
}

bool StepOverlayReplay(OverlayFrame& f) {
    f.alpha -= kOverlayFadePerStep;
    f.width = int32_t(f.width * 1.02);
    f.height = int32_t(f.height * 1.02);
    // The corner moves out by half the growth of the new size, so the picture swells around its
    // centre; the whole expression is truncated toward zero.
    f.x = int32_t(f.x - f.width * 0.01);
    f.y = int32_t(f.y - f.height * 0.01);
    return f.alpha >= 0;
}
