// The compare-item dialog: the player types in an item and sees what equipping it would change.
#pragma once

// Runs the dialog over the main window; unless cancelled, compares the typed item.
void OpenCompareDialog();
