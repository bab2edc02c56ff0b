// Whether the Windows build runs under Wine, decided once per process. Always false on the
// host.
#pragma once

bool RunsUnderWine();
