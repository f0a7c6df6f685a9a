#include "core/format_string.h"

#include "core/com_convert.h"
#include "core/number_text.h"

namespace {

// 0 means: ask Windows.
wchar_t g_decimalSeparatorOverride = 0;

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// Renders the integer types by `render`; a plain int travels as VT_INT and an unsigned as VT_UINT.
// Any other type renders empty.
template <typename Render>
std::wstring IntegerText(const VARIANT& value, Render render)
{
    switch (V_VT(&value)) {
    case VT_I1: return render(V_I1(&value));
    case VT_UI1: return render(V_UI1(&value));
    case VT_I2: return render(V_I2(&value));
    case VT_UI2: return render(V_UI2(&value));
    case VT_I4: return render(V_I4(&value));
    case VT_UI4: return render(V_UI4(&value));
    case VT_INT: return render(V_INT(&value));
    case VT_UINT: return render(V_UINT(&value));
    case VT_I8: return render(V_I8(&value));
    case VT_UI8: return render(V_UI8(&value));
    default: return std::wstring();
    }
}

} // namespace

wchar_t UserDecimalSeparator()
{
    if (g_decimalSeparatorOverride)
        return g_decimalSeparatorOverride;
    wchar_t separator[2] = {};
    if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 2) || !separator[0])
        return L'.';
    return separator[0];
}

ScopedUserDecimalSeparator::ScopedUserDecimalSeparator(wchar_t separator) : previous_(g_decimalSeparatorOverride)
{
    g_decimalSeparatorOverride = separator;
}

ScopedUserDecimalSeparator::~ScopedUserDecimalSeparator()
{
    g_decimalSeparatorOverride = previous_;
}

std::wstring FormatArgument(const std::wstring& spec, int32_t width, const _variant_t& value)
{
    std::wstring text;
    // A missing argument renders empty whatever the letter.
    if (V_VT(&value) != VT_EMPTY && !spec.empty()) {
        switch (spec.back()) {
        case L'd':
            text = IntegerText(value, [](auto number) { return IntToStr(number); });
            break;
        case L'f':
        case L'g': {
            _variant_t number;
            number.ChangeType(VT_R8, &value);
            text = FormatDouble(V_R8(&number), UserDecimalSeparator(), spec);
            break;
        }
        case L's':
            text = VariantToWString(value);
            break;
        case L'x':
            text = IntegerText(value, [](auto number) { return IntToHex(number); });
            break;
        default:
            break;
        }
    }
    if (width > 0 && text.size() < static_cast<size_t>(width))
        text.insert(0, static_cast<size_t>(width) - text.size(), L' ');
    return text;
}

std::wstring FormatString(const std::wstring& format, const _variant_t& a1, const _variant_t& a2,
                          const _variant_t& a3, const _variant_t& a4, const _variant_t& a5)
{
    const _variant_t* arguments[] = {&a1, &a2, &a3, &a4, &a5};
    const size_t size = format.size();
    std::wstring result;
    size_t start = 0;
    size_t counter = 1;
    for (;;) {
        const size_t percent = format.find(L'%', start);
        // A "%" that ends the format is a literal.
        if (percent == std::wstring::npos || percent + 1 == size)
            break;
        if (format[percent + 1] == L'%') {
            result.append(format, start, percent + 1 - start);
            start = percent + 2;
            continue;
        }
        result.append(format, start, percent - start);
        size_t pos = percent + 1;
        while (pos < size && IsDigit(format[pos]))
            ++pos;
        const int32_t width = pos > percent + 1 ? StrToInt32(format.substr(percent + 1, pos - percent - 1)) : 0;
        if (pos < size && format[pos] == L'.') {
            ++pos;
            while (pos < size && IsDigit(format[pos]))
                ++pos;
        }
        // The letter; at the end of the format there is none, which renders as an unknown letter.
        const size_t end = pos < size ? pos + 1 : size;
        if (counter <= 5)
            result += FormatArgument(format.substr(percent, end - percent), width, *arguments[counter - 1]);
        ++counter;
        start = end;
    }
    if (start < size)
        result.append(format, start, std::wstring::npos);
    return result;
}
