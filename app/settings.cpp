// The in-memory settings.
#include "app/settings.h"

Settings gSettings;
