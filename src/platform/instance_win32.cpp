#include "platform/instance.h"

#include <windows.h>

bool AcquireInstanceLock(const std::string& name) {
    // The handle is never closed: the system releases the mutex when the process ends.
    HANDLE mutex = ::CreateMutexA(nullptr, FALSE, name.c_str());
    return ::WaitForSingleObject(mutex, 0) != WAIT_TIMEOUT;
}
