#include "library/command_dispatch.h"

#include "core/debug_info_dlg.h"
#include "core/display_name.h"
#include "core/exception_describer.h"
#include "core/files.h"
#include "core/modal_seam.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/host_version.h"
#include "library/exports.h"
#include "core/html_help.h"
#include "hostapi/velmar_application.h"
#include "library/library_call.h"

namespace {

constexpr unsigned CommandHelp = 7;
constexpr unsigned CommandSelectOnly = 67;
constexpr unsigned CommandRelinkSilent = 68;

// The commands that run under the catch-all: the menu commands but help, and the silent relink.
bool IsHandledCommand(unsigned command)
{
    return (command >= 1 && command <= 6) || command == CommandRelinkSilent;
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
        ShowLibraryHelp(VelmarMainWindow(), LibraryHelpTopic);
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
    try {
        command();
        return false;
    } catch (...) {
        const FailureDescription failure = DescribeCurrentException();
        scope.WriteLine(failure.tag);
        if (!failure.traceName.empty())
            scope.String(failure.traceName, failure.traceText);
        switch (failure.outcome) {
        case FailureDescription::Outcome::Warning:
            ShowMessageBox(VelmarMainWindow(), failure.message, LibraryDisplayName(), MB_OK | MB_ICONEXCLAMATION);
            message = failure.message;
            return false;
        case FailureDescription::Outcome::Rollback:
            return false;
        case FailureDescription::Outcome::Error:
            break;
        }
        title = failure.title;
        // The unexpected kind has nothing to say: the message stays as the caller had it.
        if (!failure.message.empty())
            message = failure.message;
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
    const LibraryCallScope running;
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
