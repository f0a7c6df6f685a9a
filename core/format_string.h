#pragma once
// The library's printf: "%[width][.precision]letter" with the letters d, f, g, s and x, arguments taken
// by position from up to five variants. "%%" gives "%"; a sixth and later conversion renders nothing.
#include "core/com.h"

#include <cstdint>
#include <string>

std::wstring FormatString(const std::wstring& format, const _variant_t& a1 = _variant_t(),
                          const _variant_t& a2 = _variant_t(), const _variant_t& a3 = _variant_t(),
                          const _variant_t& a4 = _variant_t(), const _variant_t& a5 = _variant_t());

// One argument rendered by the last character of `spec` (the whole "%5.2f"), padded on the left to `width`.
std::wstring FormatArgument(const std::wstring& spec, int32_t width, const _variant_t& value);

// The first character of the user's decimal separator (LOCALE_SDECIMAL of the user default locale),
// the separator of "f" and "g".
wchar_t UserDecimalSeparator();

// For tests: makes UserDecimalSeparator answer `separator` for a scope instead of asking Windows.
class ScopedUserDecimalSeparator {
public:
    explicit ScopedUserDecimalSeparator(wchar_t separator);
    ~ScopedUserDecimalSeparator();
    ScopedUserDecimalSeparator(const ScopedUserDecimalSeparator&) = delete;
    ScopedUserDecimalSeparator& operator=(const ScopedUserDecimalSeparator&) = delete;

private:
    wchar_t previous_;
};
