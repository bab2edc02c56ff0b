#include "cli/launcher_sweep.h"

// Windows has no Wine launchers; the option is offered on Linux only.
int SweepWineLaunchers(const TCliOptions&) { return kExitUsage; }
