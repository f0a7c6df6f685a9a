#include "tools/number_range.h"

#include "core/data_convert_error.h"
#include "core/number_text.h"

std::optional<int32_t> ParseWholeNumber(const std::wstring& text)
{
    try {
        return StrToInt32(text);
    } catch (const DataConvertError&) {
        return std::nullopt;
    }
}

std::optional<int32_t> NumberInRange(const std::wstring& text, NumberRange range)
{
    const auto number = ParseWholeNumber(text);
    if (!number || *number < range.Min || *number > range.Max)
        return std::nullopt;
    return number;
}
