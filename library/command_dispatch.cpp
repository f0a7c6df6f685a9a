#include "library/command_dispatch.h"

#include "core/com_convert.h"
#include "core/data_convert_error.h"
#include "core/debug_info_dlg.h"
#include "core/display_name.h"
#include "core/files.h"
#include "core/format_string.h"
#include "core/modal_seam.h"
#include "core/string_utils.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "core/vbscript_host.h"
#include "hostapi/host_version.h"
#include "library/exports.h"
#include "library/html_help.h"
#include "library/velmar_application.h"
#include "objects/bad_response.h"
#include "objects/cant_create_spc_obj.h"

#include <exception>

namespace {

constexpr unsigned CommandHelp = 7;
constexpr unsigned CommandSelectOnly = 67;
constexpr unsigned CommandRelinkSilent = 68;

// The commands that run under the catch-all: the menu commands but help, and the silent relink.
bool IsHandledCommand(unsigned command)
{
    return (command >= 1 && command <= 6) || command == CommandRelinkSilent;
}

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

// Velmar's version for the trace; a host that cannot tell it must not stop the command.
std::wstring VelmarVersion()
{
    try {
        return GetHostVersionString(HeldVelmar5());
    } catch (...) {
        TraceCurrentException(L"velmar_ver");
        return std::wstring();
    }
}

void RunHelp()
{
    try {
        ShowHtmlHelp(VelmarMainWindow(), LIBRARYHELPFILEW(), HtmlHelpContext, LibraryHelpTopic);
    } catch (...) {
        TraceCurrentException(L"HtmlHelp");
    }
}

// The hidden selection command is called by programs, not by a person: it has neither log nor dialog,
// and a failure simply ends it.
void RunSelectOnly() noexcept
{
    try {
        if (const LibCommandFunction command = FindLibCommand(CommandSelectOnly))
            command();
    } catch (...) {
        TraceCurrentException(L"LIBRARYENTRY(67)");
    }
}

} // namespace

bool ExecuteLibCommand(const LibCommandFunction& command, std::wstring& title, std::wstring& message)
{
    TraceScope scope(L"ExecuteLibCommand");
    scope.Value(L"client_ver", GetFileVersionString(GetModulePath()).c_str());
    scope.Value(L"velmar_ver", VelmarVersion().c_str());
    scope.WriteLine(L"x64");
    // The rows are tried in this order; the library's own failure kinds are no std::exception, so the
    // standard-library row cannot take them.
    try {
        command();
        return false;
    } catch (const _bstr_t& warning) {
        scope.WriteLine(L"Warning!");
        message = BstrToWString(warning);
        scope.String(L"aErrMsg", message);
        ShowMessageBox(VelmarMainWindow(), message, LibraryDisplayName(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    } catch (const _com_error& failure) {
        scope.WriteLine(L"COM Error!");
        title = Translate(L"Ошибка COM");
        message = ComErrorToWString(failure);
        scope.String(L"aErrMsg", message);
        return true;
    } catch (const std::wstring& text) {
        if (text.empty()) {
            scope.WriteLine(L"Planned rollback!");
            return false;
        }
        scope.WriteLine(L"Internal error!");
        title = Translate(L"Внутренняя ошибка");
        message = text;
        scope.String(L"aErrMsg", message);
        return true;
    } catch (const DataConvertError& failure) {
        scope.WriteLine(L"Data convert error!");
        title = Translate(L"Внутренняя ошибка");
        message = failure.Message();
        scope.String(L"aErrMsg", message);
        return true;
    } catch (const BadResponse& failure) {
        scope.WriteLine(L"Bad response!");
        title = Translate(L"Внутренняя ошибка");
        message = FormatString(L"%s (%s).", Translate(L"Данные об изделии некорректны").c_str(),
                               failure.Reason().c_str());
        scope.String(L"aErrMsg", message);
        return true;
    } catch (const std::exception& failure) {
        scope.WriteLine(L"STL Error!");
        title = Translate(L"Ошибка STL");
        message = DescriptionOf(failure);
        scope.String(L"aErrMsg", message);
        return true;
    } catch (const VBScriptError& failure) {
        scope.WriteLine(L"VB Script Error!");
        scope.String(L"err_msg", failure.Text());
        title = Translate(L"Ошибка выполнения");
        message = Translate(L"Не удалось построить элемент.") + L"\r\n\r\n" + failure.Text();
        return true;
    } catch (const CantCreateSpcObj&) {
        // Known, not unexpected: the part was placed, its specification object could not be made.
        scope.WriteLine(L"Internal error!");
        title = Translate(L"Внутренняя ошибка");
        message = Translate(L"Не удалось создать объект спецификации.");
        scope.String(L"aErrMsg", message);
        return true;
    } catch (...) {
        scope.WriteLine(L"Unexpected Error!");
        title = Translate(L"Неизвестная ошибка");
        return true;
    }
}

void ShowCommandError(const std::wstring& title, const std::wstring& message, const std::wstring& log) noexcept
{
    try {
        DebugInfoDlg dialog(title, message, log);
        dialog.Show(VelmarMainWindow());
    } catch (...) {
        TraceCurrentException(L"ShowCommandError");
    }
}

extern "C" void WINAPI LIBRARYENTRY(unsigned command) noexcept
{
    if (command == CommandSelectOnly) {
        RunSelectOnly();
        return;
    }
    try {
        TraceLog log(L"LIBRARYENTRY", true);
        std::wstring title;
        std::wstring message;
        if (command == CommandHelp) {
            RunHelp();
        } else if (IsHandledCommand(command)) {
            if (const LibCommandFunction function = FindLibCommand(command)) {
                if (ExecuteLibCommand(function, title, message))
                    ShowCommandError(title, message, log.Text());
            }
        }
    } catch (...) {
        TraceCurrentException(L"LIBRARYENTRY");
    }
}
