#include "objects/bad_response.h"

#include "core/format_string.h"
#include "core/translate.h"

FailureDescription BadResponse::Describe() const
{
    return InternalErrorDescription(
        L"Bad response!", FormatString(L"%s (%s).", Translate(L"Данные об изделии некорректны").c_str(), reason_.c_str()));
}
