// The calculator's window hooks. Installed once at start-up, before any action can run.
#include "calc/view.h"

namespace {
CalcView gView;
}

CalcView SetCalcView(const CalcView& view) {
    CalcView previous = gView;
    gView = view;
    return previous;
}

const CalcView& GetCalcView() {
    return gView;
}
