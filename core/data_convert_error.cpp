#include "core/data_convert_error.h"

#include <utility>

DataConvertError::DataConvertError(uint32_t code, std::wstring function, std::wstring value)
    : code(code), function(std::move(function)), value(std::move(value))
{
}

std::wstring DataConvertError::Message() const
{
    const wchar_t* reason = nullptr;
    switch (code) {
    case Overflow: reason = L" overflow."; break;
    case Underflow: reason = L" underflow."; break;
    case InvalidArgument: reason = L" invalid argument."; break;
    default: return std::wstring();
    }
    return function + L"(" + value + L")" + reason;
}
