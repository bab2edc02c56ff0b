// The text rules that need the system: its upper-casing and its code-page conversions.
#include "base/text.h"

#include <windows.h>

namespace {

static_assert(kMaxPathUnits == MAX_PATH);

// `text` of code page `cp` in UTF-16; empty when it cannot be converted.
std::wstring Widen(UINT cp, std::string_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int n = ::MultiByteToWideChar(cp, 0, text.data(), size, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(cp, 0, text.data(), size, wide.data(), n);
    return wide;
}

// UTF-16 text in code page `cp`; empty when it cannot be converted.
std::string Narrow(UINT cp, std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int units = static_cast<int>(wide.size());
    const int n = ::WideCharToMultiByte(cp, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return {};
    std::string text(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(cp, 0, wide.data(), units, text.data(), n, nullptr, nullptr);
    return text;
}

// The code page of the system's locale, which the ANSI strings of shortcut files are
// written in. Not the process code page: the manifest makes that UTF-8. 0 when the locale
// has none.
UINT SystemAnsiCodePage() {
    static const UINT codePage = [] {
        DWORD cp = 0;
        if (::GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT,
                             LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                             reinterpret_cast<LPWSTR>(&cp), sizeof cp / sizeof(wchar_t)) == 0)
            cp = 0;
        return static_cast<UINT>(cp);
    }();
    return codePage;
}

} // namespace

std::string AnsiUpperCase(std::string_view text) {
    if (text.empty())
        return {};
    if (text.size() > MAXDWORD)
        return AsciiUpperCase(text);
    std::string result(text);
    // CharUpperBuffA converts through UTF-16 in the ANSI code page. With a multi-byte code
    // page the upper-cased text can come out shorter (it returns the new length) or fail to
    // fit (it returns 0 and the buffer is unreliable): then fall back to ASCII casing.
    const DWORD n = ::CharUpperBuffA(result.data(), static_cast<DWORD>(result.size()));
    if (n == 0)
        return AsciiUpperCase(text);
    result.resize(n);
    return result;
}

std::wstring WidenAnsi(std::string_view text) { return Widen(CP_ACP, text); }

std::string NarrowAnsi(std::wstring_view text) { return Narrow(CP_ACP, text); }

std::wstring WidenUtf8(std::string_view text) { return Widen(CP_UTF8, text); }

std::string NarrowUtf8(std::wstring_view text) { return Narrow(CP_UTF8, text); }

bool WidenAnsiPath(const std::string& path, wchar_t (&wide)[kMaxPathUnits]) {
    return ::MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, path.c_str(), -1, wide, MAX_PATH) != 0;
}

bool SystemAnsiToUtf8(std::string_view bytes, std::string& utf8) {
    const UINT cp = SystemAnsiCodePage();
    if (cp == 0)
        return false;
    const std::wstring wide = Widen(cp, bytes);
    if (wide.empty())
        return false;
    utf8 = NarrowUtf8(wide);
    return true;
}

std::wstring LongPathForm(std::string_view path) {
    std::wstring wide = WidenUtf8(path);
    if (wide.empty())
        return {};
    if (wide.size() < MAX_PATH - 12 || wide.starts_with(L"\\\\?\\"))
        return wide;
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';
    if (wide.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + wide.substr(2);
    return L"\\\\?\\" + wide;
}
