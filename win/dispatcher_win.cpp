// The action dispatcher. Capture and locating run on the worker, outside the lock and in parallel
// with other presses; the screen is copied only where the locator reads it. Reading the tooltip
// and changing the profile, the summaries and the pages run on the user-interface thread, inside a
// synchronous message the worker sends while it holds the action lock: so presses act one after
// the other, every edit the player makes meanwhile (page edits, profile switches, another settings
// file) is ordered with them by the message queue, and the user-interface thread never waits for
// the lock.
#include "win/dispatcher_win.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/failed_captures.h"
#include "app/ini_win.h"
#include "app/last_tooltip.h"
#include "app/pack_shelf.h"
#include "base/hotkeys.h"
#include "base/pixels.h"
#include "base/status.h"
#include "calc/actions.h"
#include "calc/view.h"
#include "reader/capture_win.h"
#include "reader/locator.h"
#include "reader/parser.h"
#include "win/image_save_win.h"
#include "win/main_window_win.h"
#include "win/overlay_win.h"
#include "win/popups_win.h"
#include "win/screen_checks_win.h"
#include "win/startup_win.h"

namespace {

CRITICAL_SECTION gActionLock;

// How many actions run, and an event set exactly while none does. Both change together under one
// lock: changed apart, a finishing action could set the event after a new one had started.
std::mutex gRunningMutex;
int gRunning = 0;
HANDLE gIdle = nullptr;

void ActionStarted() {
    std::lock_guard<std::mutex> hold(gRunningMutex);
    if (gRunning++ == 0) ResetEvent(gIdle);
}

void ActionFinished() {
    std::lock_guard<std::mutex> hold(gRunningMutex);
    if (--gRunning == 0) SetEvent(gIdle);
}

bool ActionsRunning() {
    std::lock_guard<std::mutex> hold(gRunningMutex);
    return gRunning > 0;
}

std::mutex gLogMutex;
std::wstring gLogPath;
std::string gLogPathUtf8;

// The folder of glyph packs by screen size: "glyphs" beside the program.
std::string GlyphPackRoot() {
    const std::string program = ExecutablePath();
    const size_t slash = program.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : program.substr(0, slash + 1)) + "glyphs";
}

// Made at the first reading action and never destroyed: a pack it handed out may still be read by
// an action while the program ends.
PackShelf& Shelf() {
    static PackShelf* shelf = new PackShelf(GlyphPackRoot());
    return *shelf;
}

double Milliseconds(LONGLONG from, LONGLONG to) {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return double(to - from) * 1000.0 / double(frequency);
}

LONGLONG Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

// One action's stages, for the log: when the hotkey message arrived, when each stage ended, when
// the player was shown the outcome, and how long the screen copies made while locating took.
struct ActionTimes {
    LONGLONG hotkey = 0, captured = 0, packed = 0, located = 0, delivered = 0, parsed = 0, acted = 0;
    LONGLONG shown = 0;
    double locateCopyMs = 0;
};

// What the log tells of the screen: the tooltip's rectangle, if one was found, and how many of the
// screen's pixels were copied to find and cut it.
struct ScreenNote {
    bool found = false;
    TooltipRect rect;
    int64_t copied = 0;
};

struct ActionJob {
    int action = 0;
    const PixelBuffer* tooltip = nullptr;
    const GlyphPack* pack = nullptr;
    ActionTimes* times = nullptr;
    const char* outcome = "";
};

bool Logging() {
    std::lock_guard<std::mutex> hold(gLogMutex);
    return !gLogPath.empty();
}

std::string LogPath() {
    std::lock_guard<std::mutex> hold(gLogMutex);
    return gLogPathUtf8;
}

// Lines other than an action's own, such as what is wrong with a glyph pack.
void WriteLogText(const std::vector<std::string>& lines) {
    std::lock_guard<std::mutex> hold(gLogMutex);
    if (gLogPath.empty() || lines.empty()) return;
    FILE* log = _wfopen(gLogPath.c_str(), L"ab");
    if (!log) return;
    for (const std::string& line : lines) std::fprintf(log, "%s\n", line.c_str());
    std::fclose(log);
}

// pack: the glyph pack read with ("built-in", a screen size for a pack folder, "none" for an action
// that reads nothing); kept: the file keeping the capture of a failed read, if any.
void WriteLogLine(int action, const char* outcome, const ActionTimes& t, const ScreenNote& screen,
                  const std::string& pack, const std::string& kept) {
    std::lock_guard<std::mutex> hold(gLogMutex);
    if (gLogPath.empty()) return;
    FILE* log = _wfopen(gLogPath.c_str(), L"ab");
    if (!log) return;
    auto stage = [](LONGLONG from, LONGLONG to) { return from && to ? Milliseconds(from, to) : 0.0; };
    const LONGLONG end = t.acted ? t.acted : t.located ? t.located : t.packed ? t.packed : t.captured;
    char rect[64] = "none";
    if (screen.found)
        std::snprintf(rect, sizeof rect, "%d,%d,%d,%d", int(screen.rect.x), int(screen.rect.y),
                      int(screen.rect.width), int(screen.rect.height));
    // capture: the screen copied where it is read (the checks' rows, and the copies made while
    // locating and cutting), its pixels checked; locate: the rest of locating and cutting; pack: the
    // glyph pack chosen (loaded at the first action of a screen size); wait: the lock and the
    // hand-over to the user-interface thread, where the tooltip is parsed and the item equipped or
    // compared; shown: from the hotkey to the popup, notice or alert that tells the outcome.
    std::fprintf(log,
                 "action=%d outcome=%s capture_ms=%.3f locate_ms=%.3f wait_ms=%.3f parse_ms=%.3f act_ms=%.3f "
                 "total_ms=%.3f shown_ms=%.3f pack=%s pack_ms=%.3f rect=%s copied_px=%lld%s%s\n",
                 action, outcome, stage(t.hotkey, t.captured) + t.locateCopyMs,
                 std::max(0.0, stage(t.packed, t.located) - t.locateCopyMs), stage(t.located, t.delivered),
                 stage(t.delivered, t.parsed), stage(t.parsed ? t.parsed : t.located, t.acted),
                 stage(t.hotkey, end), stage(t.hotkey, t.shown), pack.c_str(), stage(t.captured, t.packed),
                 rect, static_cast<long long>(screen.copied), kept.empty() ? "" : " kept=", kept.c_str());
    std::fclose(log);
}

// A path's file name, without its folder.
std::string FileName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct StartArgs {
    int action;
    LONGLONG hotkeyTime;
};

// Names a capture the reader cannot use, with its alert; nullptr for a usable one.
const char* CaptureOutcome(CaptureProblem problem) {
    switch (problem) {
        case CaptureProblem::kScaled:
            ShowAlert(kAlertScaledCapture);
            return "scaled-capture";
        case CaptureProblem::kBlack:
            ShowAlert(kAlertBlackCapture);
            return "black-capture";
        case CaptureProblem::kNone:
            break;
    }
    return nullptr;
}

// Under the action lock: saves the tooltip as a picture (action 5), or hands it to the
// user-interface thread to be read and equipped or compared. Returns the outcome.
const char* Act(int action, const PixelBuffer& tooltip, const TooltipRect& rect, const GlyphPack* pack,
                ActionTimes& times) {
    if (action == 5) {
        HBITMAP bitmap = MakeBitmap(tooltip);
        const char* outcome = bitmap ? SaveItemImage(bitmap, POINTS{SHORT(rect.x), SHORT(rect.y)})  // takes it
                                     : "no-bitmap";
        times.acted = times.shown = Now();
        return outcome;
    }
    ActionJob job{action, &tooltip, pack, &times, "not-delivered"};
    SendMessageW(gMainWindow, kTooltipForAction, 0, reinterpret_cast<LPARAM>(&job));
    return job.outcome;
}

// With a log, the capture of a failed read is kept beside it for the diagnostics. The whole screen
// is copied only now, after the outcome is shown; what the reader read is put back over that copy,
// so that the kept capture reads exactly as the screen did. A capture that cannot be written costs
// the action nothing but the note. Returns the kept file's name, "failed", or nothing.
std::string KeepCapture(const char* outcome, const SparseScreen* screen) {
    if (!screen || (std::strcmp(outcome, "no-tooltip") != 0 && std::strcmp(outcome, "unidentified") != 0))
        return "";
    const std::string log = LogPath();
    if (log.empty()) return "";
    PixelBuffer pixels = CaptureScreenPixels();
    if (ReadableCount(pixels) <= 0) return "";
    screen->PasteInto(pixels);
    std::string error;
    const std::string path = KeepFailedCapture(log, pixels, error);
    if (path.empty()) WriteLogText({"kept-capture-error " + error});
    return path.empty() ? "failed" : FileName(path);
}

DWORD WINAPI RunHotkeyAction(LPVOID parameter) {
    const StartArgs args = *static_cast<StartArgs*>(parameter);
    delete static_cast<StartArgs*>(parameter);
    ActionTimes times;
    times.hotkey = args.hotkeyTime;
    HidePopup(gAlertPopup);
    HidePopup(gOverlayWindow);
    // Setups the reader cannot handle are named, rather than reported as a screen without a tooltip.
    std::unique_ptr<SparseScreen> screen = OpenScreen();
    const char* outcome = CaptureOutcome(CheckScreenCapture(*screen));
    times.captured = Now();
    if (outcome) times.shown = times.captured;
    // The reading actions read with the glyph pack for the screen's size; what is wrong with that
    // pack is told once, at its first use.
    const bool reads = args.action != 5;
    const int width = screen->Width(), height = screen->Height();
    PackPick pick;
    std::string packName = "none";
    if (!outcome && reads) {
        pick = Shelf().PackFor(width, height);
        packName = pick.fromFolder ? std::to_string(width) + "x" + std::to_string(height) : "built-in";
        if (pick.report) WriteLogText(PackReportLines(*pick.report));
    }
    times.packed = Now();
    ScreenNote note;
    PixelBuffer tooltip;
    if (!outcome) {
        const double copiedBefore = screen->FetchMilliseconds();
        note.found = FindTooltip(*screen, note.rect);
        if (note.found) {
            tooltip = CropScreen(*screen, note.rect);
        } else {
            ShowAlert(kAlertNoTooltip);
            outcome = "no-tooltip";
        }
        times.locateCopyMs = screen->FetchMilliseconds() - copiedBefore;
        times.located = Now();
        KeepLastTooltip(note.found ? &tooltip : nullptr, width, height);  // for the glyph pack dialog
        if (!note.found) times.shown = times.located;
    }
    note.copied = screen->FetchedPixels();
    // A press waiting for the lock holds its tooltip alone. With a log, what was copied stays until
    // the outcome is known, for the kept capture of a failed read.
    if (!Logging()) screen.reset();
    if (note.found) {
        EnterCriticalSection(&gActionLock);
        outcome = Act(args.action, tooltip, note.rect, pick.pack, times);
        LeaveCriticalSection(&gActionLock);
    }
    const std::string kept = KeepCapture(outcome, screen.get());
    // Last, so that it is the alert the player sees of this action.
    if (pick.report) ShowAlert(PackAlertText(width, height, *pick.report, Logging()));
    WriteLogLine(args.action, outcome, times, note, packName, kept);
    ActionFinished();
    return 0;
}

}  // namespace

void CreateActionLock() {
    InitializeCriticalSection(&gActionLock);
    gIdle = CreateEventW(nullptr, TRUE, TRUE, nullptr);
}

void SetActionLog(const std::string& path) {
    std::lock_guard<std::mutex> hold(gLogMutex);
    gLogPath = Utf8ToWide(path);
    gLogPathUtf8 = path;
}

void StartHotkeyAction(int hotkeyId) {
    const int action = HotkeyAction(hotkeyId);
    if (action == 0) return;
    auto* args = new StartArgs{action, Now()};
    ActionStarted();
    HANDLE thread = CreateThread(nullptr, 0, RunHotkeyAction, args, 0, nullptr);
    if (thread) {
        CloseHandle(thread);
    } else {
        delete args;
        ActionFinished();
    }
}

LRESULT OnTooltipForAction(LPARAM parameter) {
    auto* job = reinterpret_cast<ActionJob*>(parameter);
    job->times->delivered = Now();
    const bool equip = job->action <= 2;
    const ItemRecord record = ParseItem(job->tooltip, equip ? 1 : 0, job->pack ? *job->pack : BuiltInPack());
    job->times->parsed = Now();
    // The popup or notice first; the pages, often hidden behind the game, after it.
    HoldPageWrites();
    if (equip)
        EquipItem(record, job->action - 1);
    else
        CompareItem(record, job->action - 3, 0);
    job->times->shown = Now();
    ReleasePageWrites();
    job->times->acted = Now();
    job->outcome = record.kind < 0 ? "unidentified" : equip ? "equipped" : "compared";
    return 0;
}

bool WaitForActions(DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (ActionsRunning()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return false;
        // Workers send the main window messages and wait for them: keep serving those.
        if (MsgWaitForMultipleObjects(1, &gIdle, FALSE, DWORD(end - now), QS_SENDMESSAGE) ==
            WAIT_OBJECT_0 + 1) {
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
    return true;
}

std::string GlyphPackFolder(int width, int height) {
    return PackFolderForSize(Shelf().Root(), width, height);
}

void DropGlyphPack(int width, int height) {
    Shelf().Drop(width, height);
}
