#include "positioning/location_fields.h"

#include "core/number_text.h"
#include "core/string_utils.h"

#include <cmath>

namespace {

std::wstring Placeholder(const std::wstring& name)
{
    return L"[" + name + L"]";
}

} // namespace

std::wstring FillLocationField(const std::wstring& text, const std::wstring& name, double value)
{
    const std::wstring placeholder = Placeholder(name);
    if (text.find(placeholder) == std::wstring::npos)
        return text;
    if (!std::isfinite(value))
        throw std::wstring(L"The location field " + placeholder + L" has no finite value");
    return ReplaceAll(text, placeholder, Placeholder(DoubleToStr(value, L'.')));
}

std::wstring FillLocationFlag(const std::wstring& text, const std::wstring& name, bool value)
{
    return ReplaceAll(text, Placeholder(name), value ? L"[1]" : L"[0]");
}
