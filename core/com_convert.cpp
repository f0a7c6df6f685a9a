#include "core/com_convert.h"

#include "core/number_text.h"

#include <algorithm>

std::wstring BstrToWString(const _bstr_t& text)
{
    const wchar_t* chars = text;
    return chars ? std::wstring(chars, text.length()) : std::wstring();
}

std::wstring VariantToWString(const VARIANT& value)
{
    switch (V_VT(&value)) {
    case VT_BSTR:
        return V_BSTR(&value) ? std::wstring(V_BSTR(&value), SysStringLen(V_BSTR(&value))) : std::wstring();
    case VT_NULL:
        return std::wstring();
    default:
        // The automation conversion; a type it cannot convert raises _com_error.
        return BstrToWString(_bstr_t(_variant_t(value)));
    }
}

std::wstring ComErrorToWString(const _com_error& error)
{
    const HRESULT code = error.Error();
    // Lowercase hexadecimal without padding: the fixed-width digits less their leading zeros.
    std::wstring digits = IntToHex(static_cast<uint32_t>(code)).substr(2);
    digits.erase(0, std::min(digits.find_first_not_of(L'0'), digits.size() - 1));
    std::wstring text = L"0x" + digits + L" ";

    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&message),
        0, nullptr);
    if (length && message) {
        std::wstring system(message, length);
        while (!system.empty() && (system.back() == L'\r' || system.back() == L'\n'))
            system.pop_back();
        text += system;
    }
    if (message)
        LocalFree(message);

    const std::wstring description = BstrToWString(error.Description());
    if (!description.empty())
        text += L"\r\n" + description;
    return text;
}
