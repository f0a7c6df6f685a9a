#include "sim/shown_text.h"

#include "sim/journal.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace sim {

namespace {

bool escaped = false;

void AppendCode(std::string& out, unsigned code)
{
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02x", code);
    out += hex;
}

} // namespace

std::string EscapeShown(std::string_view utf8, bool quoted)
{
    std::string shown;
    shown.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n')
            shown += "\\n";
        else if (c == '\t')
            shown += "\\t";
        else if (c < 0x20 || c == 0x7F)
            AppendCode(shown, c);
        // U+0080 to U+009F: C2 80 to C2 9F in UTF-8.
        else if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) <= 0x9F &&
                 static_cast<unsigned char>(utf8[i + 1]) >= 0x80)
            AppendCode(shown, static_cast<unsigned char>(utf8[++i]));
        else if (quoted && (c == '\\' || c == '"'))
            (shown += '\\') += static_cast<char>(c);
        else
            shown += static_cast<char>(c);
    }
    return shown;
}

std::string QuoteShown(std::string_view utf8)
{
    return "\"" + (escaped ? EscapeShown(utf8, true) : std::string(utf8)) + "\"";
}

std::string QuoteShown(const std::wstring& text)
{
    return QuoteShown(Utf8(text));
}

std::string ShownValue(const VARIANT& value)
{
    if (V_VT(&value) == VT_BSTR)
        return QuoteShown(V_BSTR(&value) ? std::wstring(V_BSTR(&value), SysStringLen(V_BSTR(&value))) : std::wstring());
    return RenderVariant(value);
}

void ShowTextsEscaped()
{
    escaped = true;
}

// Rounded to five decimals, in as few digits as give it back, as it was given (1234567.5, not
// 1.23457e+06): an epsilon the library adds to keep two objects apart prints as 0, and a value a hair
// below zero as 0, not -0. A value too large to have decimals is printed as it is, where scaling it would
// overflow (1e+304).
std::string ShownNumber(double value)
{
    char text[400];
    const bool scaled = std::fabs(value) < 1e15;
    const auto end = scaled ? std::to_chars(text, text + sizeof text, std::round(value * 1e5) / 1e5 + 0.0, std::chars_format::fixed)
                            : std::to_chars(text, text + sizeof text, value);
    return std::string(text, end.ptr);
}

} // namespace sim
