// The in-memory settings.
#include "base/settings.h"

Settings gSettings;
