#include "objects/bad_response.h"

#include "core/data_convert_error.h"
#include "core/format_string.h"
#include "core/translate.h"

FailureDescription BadResponse::Describe() const
{
    return InternalErrorDescription(
        L"Bad response!", FormatString(L"%s (%s).", Translate(L"Данные об изделии некорректны").c_str(), reason_.c_str()));
}

BadResponse BadResponseOfValue(const DataConvertError& failure)
{
    std::wstring reason = failure.Message();
    // The message's full stop closes the whole sentence instead.
    if (!reason.empty() && reason.back() == L'.')
        reason.pop_back();
    return BadResponse(reason);
}
