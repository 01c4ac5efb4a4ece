// The checks made on each capture before the tooltip is looked for.
#include "win/screen_checks_win.h"

DisplaySize PhysicalDisplaySize() {
    MONITORINFOEXW monitor{};
    monitor.cbSize = sizeof monitor;
    // The primary monitor is the one at the origin of the desktop.
    HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (primary && GetMonitorInfoW(primary, &monitor)) {
        DEVMODEW mode{};
        mode.dmSize = sizeof mode;
        if (EnumDisplaySettingsW(monitor.szDevice, ENUM_CURRENT_SETTINGS, &mode) && mode.dmPelsWidth > 0 &&
            mode.dmPelsHeight > 0)
            return DisplaySize{int(mode.dmPelsWidth), int(mode.dmPelsHeight)};
    }
    BorrowedDC screen(nullptr);
    if (!screen) return DisplaySize{};
    return DisplaySize{GetDeviceCaps(screen.get(), DESKTOPHORZRES),
                       GetDeviceCaps(screen.get(), DESKTOPVERTRES)};
}

CaptureProblem CheckScreenCapture(const PixelBuffer& capture) {
    const DisplaySize display = PhysicalDisplaySize();
    return CheckCapture(capture, display.width, display.height);
}

CaptureProblem CheckScreenCapture(SparseScreen& screen) {
    const DisplaySize display = PhysicalDisplaySize();
    const CaptureProblem problem = CheckCapture(screen, display.width, display.height);
    return screen.Failed() ? CaptureProblem::kNone : problem;
}
