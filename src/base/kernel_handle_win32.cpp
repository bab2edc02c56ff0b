#include "base/handles.h"

#include <windows.h>

void win::CloseKernelHandle(HANDLE handle) { ::CloseHandle(handle); }

HANDLE TKernelHandleKind::Adopt(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}
