#include "winkit/accessibility.h"

#include "base/com_ref.h"
#include "base/system_error.h"
#include "base/text.h"

#include <windows.h>
#include <commctrl.h> // BST_HOT
#include <oleacc.h>

#include <atomic>
#include <string>

namespace {

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The client object of a custom push button: the system's default object for the window
// (name from the window text, location, parent, focus and the window's states), with the
// role, the pressed and hot states and the default action of a push button on top. It knows
// the button only by its window, so it outlives the window harmlessly.
class TPushButtonAccessible final : public IAccessible {
public:
    static HRESULT Create(HWND button, IAccessible** object) {
        *object = nullptr;
        auto* self = new TPushButtonAccessible(button);
        const ComRef<IAccessible> made(self);
        const HRESULT hr =
            ::CreateStdAccessibleObject(button, OBJID_CLIENT, IID_PPV_ARGS(self->standard_.out()));
        if (FAILED(hr) || !self->standard_)
            return FAILED(hr) ? hr : E_FAIL;
        return made.Query(IID_PPV_ARGS(object));
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IAccessible) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    // IDispatch: no type information; clients call the IAccessible methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // What makes it a push button.
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!role || !IsSelf(child))
            return standard_->get_accRole(child, role);
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_PUSHBUTTON;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        const HRESULT hr = standard_->get_accState(child, state);
        if (FAILED(hr) || !IsSelf(child) || state->vt != VT_I4)
            return hr;
        const LRESULT button = ::SendMessageW(button_, BM_GETSTATE, 0, 0);
        if (button & BST_PUSHED)
            state->lVal |= STATE_SYSTEM_PRESSED;
        if (button & BST_HOT)
            state->lVal |= STATE_SYSTEM_HOTTRACKED;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!action || !IsSelf(child))
            return standard_->get_accDefaultAction(child, action);
        *action = ::SysAllocString(L"Press");
        return *action ? S_OK : E_OUTOFMEMORY;
    }
    // Posted, not sent: the command runs after the call has returned, so one that opens a
    // box (Scan's folder picker, Delete's question) does not hold the screen reader's call.
    // A disabled button ignores the click.
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!IsSelf(child))
            return standard_->accDoDefaultAction(child);
        return ::PostMessageW(button_, BM_CLICK, 0, 0) ? S_OK : E_FAIL;
    }

    // The rest is the system's default object's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return standard_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return standard_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return standard_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    explicit TPushButtonAccessible(HWND button) : button_(button) {}
    ~TPushButtonAccessible() = default;

    std::atomic<ULONG> references_{1};
    HWND button_; // not owned
    ComRef<IAccessible> standard_;
};

bool PropertyService(ComRef<IAccPropServices>& service) {
    // Not IID_PPV_ARGS: mingw-w64's oleacc.h gives IAccPropServices no uuid of its own.
    return SUCCEEDED(ComCreate(CLSID_AccPropServices, IID_IAccPropServices,
                               reinterpret_cast<void**>(service.out()))) &&
           service;
}

const DWORD kClientObject = static_cast<DWORD>(OBJID_CLIENT);

} // namespace

std::intptr_t PushButtonObject(WindowHandle button, std::uintptr_t wParam, std::intptr_t lParam) {
    // The object id arrives as a DWORD in a pointer-sized parameter.
    if (static_cast<LONG>(lParam) != OBJID_CLIENT)
        return 0;
    ComRef<IAccessible> object;
    if (FAILED(TPushButtonAccessible::Create(button, object.out())))
        return 0;
    const LRESULT reference = ::LresultFromObject(IID_IAccessible, wParam, object.get());
    return reference > 0 ? reference : 0;
}

bool NameSystemControl(WindowHandle control, const std::string& name) {
    ComRef<IAccPropServices> service;
    return control && PropertyService(service) &&
           SUCCEEDED(service->SetHwndPropStr(control, kClientObject, CHILDID_SELF, PROPID_ACC_NAME,
                                             WidenAnsi(name).c_str()));
}

void ForgetSystemControlName(WindowHandle control) {
    ComRef<IAccPropServices> service;
    if (control && PropertyService(service))
        service->ClearHwndProps(control, kClientObject, CHILDID_SELF, &PROPID_ACC_NAME, 1);
}

WindowHandle CreateHiddenText(WindowHandle parent, const TBounds& bounds, const std::string& text) {
    // No WS_VISIBLE: it is never shown. SS_NOPREFIX: an '&' in a path is text, not a
    // mnemonic.
    HWND hidden = ::CreateWindowExA(0, "STATIC", text.c_str(), WS_CHILD | SS_LEFT | SS_NOPREFIX,
                                    bounds.left, bounds.top, bounds.width, bounds.height, parent,
                                    nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!hidden)
        RaiseLastOSError("Cannot create the readable text");
    return hidden;
}
