#include "core/exception_describer.h"

#include "core/com.h"
#include "core/com_convert.h"
#include "core/data_convert_error.h"
#include "core/string_utils.h"
#include "core/translate.h"
#include "core/vbscript_host.h"

#include <exception>

namespace {

// The description of a standard-library failure in the current locale; a text the locale cannot carry
// is shown byte by byte rather than lost.
std::wstring DescriptionOf(const std::exception& failure)
{
    const char* what = failure.what();
    try {
        return ToWide(what);
    } catch (const std::exception&) {
        std::wstring text;
        for (const char* c = what; *c; ++c)
            text += static_cast<wchar_t>(static_cast<unsigned char>(*c));
        return text;
    }
}

FailureDescription Describe(FailureDescription::Outcome outcome, const wchar_t* tag, const std::wstring& title,
                            const std::wstring& message)
{
    FailureDescription description;
    description.outcome = outcome;
    description.tag = tag;
    description.title = title;
    description.message = message;
    description.traceName = L"aErrMsg";
    description.traceText = message;
    return description;
}

FailureDescription DescribeInFlight(const std::exception_ptr& current)
{
    using Outcome = FailureDescription::Outcome;
    try {
        std::rethrow_exception(current);
    } catch (const _bstr_t& warning) {
        return Describe(Outcome::Warning, L"Warning!", std::wstring(), BstrToWString(warning));
    } catch (const _com_error& failure) {
        return Describe(Outcome::Error, L"COM Error!", Translate(L"Ошибка COM"), ComErrorToWString(failure));
    } catch (const std::wstring& text) {
        if (text.empty()) {
            FailureDescription rollback;
            rollback.outcome = Outcome::Rollback;
            rollback.tag = L"Planned rollback!";
            return rollback;
        }
        return InternalErrorDescription(L"Internal error!", text);
    } catch (const DataConvertError& failure) {
        return InternalErrorDescription(L"Data convert error!", failure.Message());
    } catch (const LibraryFailure& failure) {
        return failure.Describe();
    } catch (const std::exception& failure) {
        return Describe(Outcome::Error, L"STL Error!", Translate(L"Ошибка STL"), DescriptionOf(failure));
    } catch (const VBScriptError& failure) {
        FailureDescription script;
        script.tag = L"VB Script Error!";
        script.title = Translate(L"Ошибка выполнения");
        script.message = Translate(L"Не удалось построить элемент.") + L"\r\n\r\n" + failure.Text();
        script.traceName = L"err_msg";
        script.traceText = failure.Text();
        return script;
    }
}

} // namespace

FailureDescription InternalErrorDescription(const std::wstring& tag, const std::wstring& message)
{
    return Describe(FailureDescription::Outcome::Error, tag.c_str(), Translate(L"Внутренняя ошибка"), message);
}

FailureDescription DescribeCurrentException() noexcept
{
    try {
        if (const std::exception_ptr current = std::current_exception())
            return DescribeInFlight(current);
    } catch (...) {
        // Not one of the library's kinds, or no memory left to describe it.
    }
    try {
        FailureDescription unexpected;
        unexpected.tag = L"Unexpected Error!";
        unexpected.title = Translate(L"Неизвестная ошибка");
        return unexpected;
    } catch (...) {
        return FailureDescription();
    }
}
