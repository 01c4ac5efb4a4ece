// The overlay's replay of a saved tooltip as plain arithmetic: it starts where the game drew the
// tooltip, then every step swells by 2 % around its centre and fades by 20 until it is gone.
#pragma once
#include <cstdint>

constexpr int32_t kOverlayStepMs = 60;
constexpr int32_t kOverlayFadePerStep = 20;

// A screen position handed between threads as one 32-bit value: x in the low half, y in the high
// half, each a signed 16-bit number.
constexpr uint32_t PackScreenPosition(int32_t x, int32_t y) {
    return uint32_t(uint16_t(x)) | (uint32_t(uint16_t(y)) << 16);
}
constexpr int32_t PackedX(uint32_t packed) {
    return int16_t(uint16_t(packed & 0xFFFFu));
}
constexpr int32_t PackedY(uint32_t packed) {
    return int16_t(uint16_t(packed >> 16));
}

struct OverlayFrame {
    int32_t x = 0, y = 0;
    int32_t width = 0, height = 0;
    int32_t alpha = 255;
};

// The replay's state before its first step: the picture at its own size at the packed position.
OverlayFrame StartOverlayReplay(uint32_t packedPosition, int32_t pictureWidth, int32_t pictureHeight);

// One step. Returns false when the replay is over and the window is to be hidden; the frame then
// holds the last (unshown) values.
bool StepOverlayReplay(OverlayFrame& frame);
