#include "platform/wine.h"

#include <windows.h>

bool RunsUnderWine() {
    static const bool wine = [] {
        const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
        return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
}
