// The most recent capture's tooltip, under a lock of its own.
#include "app/last_tooltip.h"

#include <mutex>

namespace {

std::mutex gMutex;
KeptTooltip gKept;
bool gHave = false;

}  // namespace

void KeepLastTooltip(const PixelBuffer* tooltip, int screenWidth, int screenHeight) {
    // Copied outside the lock, so that a reader never waits for the copy.
    PixelBuffer copy = tooltip ? *tooltip : PixelBuffer();
    std::lock_guard<std::mutex> hold(gMutex);
    gKept.picture = std::move(copy);
    gKept.screenWidth = screenWidth;
    gKept.screenHeight = screenHeight;
    ++gKept.capture;
    gHave = tooltip != nullptr;
}

bool LastTooltip(KeptTooltip& kept) {
    std::lock_guard<std::mutex> hold(gMutex);
    if (!gHave) return false;
    kept = gKept;
    return true;
}
