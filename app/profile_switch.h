// Switching the active profile through the settings file.
#pragma once
#include <string>

// Saves the active profile, makes profile n (1..5) the active one, loads it (or the default),
// redisplays it and recomputes every number; n may be the active profile itself, which is then
// read back as the file holds it. False, with nothing changed (the reason in `why`), when n is out
// of range or the active profile could not be saved: its unsaved values stay in memory rather than
// be lost.
bool SwitchProfile(int n, std::string* why = nullptr);
