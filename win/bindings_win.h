// The binding operations on real controls: a value control shows its bound variable, and what the
// user types or picks goes straight into it. Every programmatic write runs with the update guard
// at 0, so the control's change notification never feeds back into the variable.
#pragma once
#include <cstdint>

#include "app/bindings.h"
#include "base/gdi_win.h"

// 1 while change notifications are taken; 0 while the program itself writes controls.
extern int gUiUpdateGuard;

// Sets the guard to 0 for its lifetime; nests.
class GuardedUpdate {
public:
    GuardedUpdate() : previous_(gUiUpdateGuard) { gUiUpdateGuard = 0; }
    ~GuardedUpdate() { gUiUpdateGuard = previous_; }
    GuardedUpdate(const GuardedUpdate&) = delete;
    GuardedUpdate& operator=(const GuardedUpdate&) = delete;

private:
    int previous_;
};

void ShowBoundValue(HWND window, const float* variable);
void ShowBoundChoice(HWND window, const int32_t* variable);
void ShowBoundCheck(HWND window, const int32_t* variable);
void ReadBoundEdit(HWND window, int controlId);
void ReadBoundChoice(HWND window, int controlId);
void ReadBoundCheck(HWND window, int controlId);
void FillChoiceList(HWND window, int controlId, int n);
// Sliders bound to the three recognition tolerances: show a tolerance (redrawing the slider),
// store a slider's position, and write the three tolerances into their value labels.
void ShowBoundSlider(HWND window, const int32_t* variable);
void ReadBoundSlider(HWND window, int controlId);
void ShowToleranceLabels(HWND window);
// Locked: the text is cleared (and the variable zeroed with zeroValue) and the edit made
// read-only; unlocked: the edit is made editable.
void SetFieldLocked(HWND window, const ControlBinding* entry, bool locked, bool zeroValue);
void SetFieldLocked(HWND window, const float* variable, bool locked, bool zeroValue);
