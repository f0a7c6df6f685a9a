// The library protocol's identification exports and the hand-over of Velmar's application.
#include "library/exports.h"

#include "core/display_name.h"
#include "core/module.h"
#include "core/registry.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/host_version.h"
#include "library/application_sink.h"
#include "core/library_files.h"

#include <clocale>
#include <cwchar>
#include <string>

namespace {

const wchar_t LibraryName[] = L"Нормсет";

// What Velmar reads after the call: the buffers stay valid until the next call of the same export.
wchar_t g_displayName[64] = L"Нормсет";
std::wstring g_helpPath;

void DoNotifyEntry(IDispatch* application)
{
    if (HeldApplication5())
        return;
    setlocale(LC_ALL, "");
    setlocale(LC_CTYPE, "Russian");
    setlocale(LC_COLLATE, "Russian");
    const IVel5ApplicationPtr application5 = QueryHost<IVel5Application>(application);
    if (!application5)
        return;
    const IVel7ApplicationPtr application7 =
        ObjectAs<IVel7Application>(V5Get(application5, IVel5Application::Application7));
    if (GetHostVersion(application5) >= kHostVersion1402)
        ConnectApplicationSink(application5);
    // Held only once the whole hand-over succeeded: after a failure, Velmar's next call starts afresh.
    HoldApplication5(application5);
    HoldApplication7(application7);
}

void DoDisplayName()
{
    std::wstring language;
    if (const RegKey key = OpenRegKey(HKEY_LOCAL_MACHINE, L"Software\\Orbex\\Normset", KEY_READ))
        language = ReadRegString(key.get(), L"Language", L"");
    LoadLanguage(LibraryFolder(), language);
    // The host keeps 63 characters and the terminator.
    const std::wstring name = Translate(LibraryName).substr(0, std::size(g_displayName) - 1);
    SetLibraryDisplayName(name);
    wcsncpy(g_displayName, name.c_str(), std::size(g_displayName));
    g_displayName[std::size(g_displayName) - 1] = L'\0';
}

} // namespace

extern "C" unsigned WINAPI LIBRARYID() noexcept
{
    return 2222;
}

extern "C" const wchar_t* WINAPI LIBRARYNAMEW() noexcept
{
    return LibraryName;
}

extern "C" const wchar_t* WINAPI DisplayLibraryNameW() noexcept
{
    try {
        DoDisplayName();
    } catch (...) {
        TraceCurrentException(L"DisplayLibraryNameW");
    }
    return g_displayName;
}

extern "C" int WINAPI LibToolBarId(int type, int index) noexcept
{
    return type == 1 && index == 0 ? 4444 : -1;
}

extern "C" int WINAPI LibraryHintTipsBeginID() noexcept
{
    return 2000;
}

extern "C" const wchar_t* WINAPI LIBRARYHELPFILEW() noexcept
{
    try {
        g_helpPath = LibraryHelpFile();
    } catch (...) {
        TraceCurrentException(L"LIBRARYHELPFILEW");
    }
    return g_helpPath.c_str();
}

extern "C" int WINAPI LibraryBmpBeginID(unsigned size) noexcept
{
    switch (size) {
    case 0: return 1000;
    case 1: return 2000;
    case 2: return 3000;
    case 3: return 4000;
    default: return 0;
    }
}

extern "C" int WINAPI LibInterfaceNotifyEntry(IDispatch* application) noexcept
{
    try {
        DoNotifyEntry(application);
    } catch (...) {
        TraceCurrentException(L"LibInterfaceNotifyEntry");
    }
    return 1;
}
