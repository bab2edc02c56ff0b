#include "platform/wine.h"

bool RunsUnderWine() { return false; }
