#include "core/variables.h"

#include "core/format_string.h"
#include "core/number_text.h"
#include "core/string_utils.h"

std::wstring Variables::GetString(const std::wstring& name) const
{
    const auto found = find(name);
    if (found == end())
        throw FormatString(L"No variable with name \"%s\"", name.c_str());
    return found->second;
}

double Variables::GetDouble(const std::wstring& name) const
{
    return StrToDouble(GetString(name));
}

int32_t Variables::GetInt(const std::wstring& name) const
{
    return StrToInt32(GetString(name));
}

bool Variables::HasValue(const std::wstring& name) const
{
    const auto found = find(name);
    return found != end() && !IsNullValue(found->second);
}

bool Variables::IsNullValue(const std::wstring& text)
{
    return text == L"NULL_VALUE" || Trim(text).empty();
}
