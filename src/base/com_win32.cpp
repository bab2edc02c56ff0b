#include "base/com_ref.h"

#include <windows.h>
#include <objbase.h>

HRESULT ComCreate(const _GUID& clsid, const _GUID& iid, void** object) {
    return ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object);
}

TComApartment::TComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}

TComApartment::~TComApartment() {
    if (Entered())
        ::CoUninitialize();
}

bool TComApartment::Entered() const { return SUCCEEDED(result_); }
