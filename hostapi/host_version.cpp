#include "hostapi/host_version.h"

#include "core/format_string.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/vtable_call.h"

namespace {

struct VersionParts {
    long major = 0;
    long minor = 0;
    long release = 0;
    long build = 0;
};

VersionParts ReadVersion(IVel5Application* application)
{
    VersionParts parts;
    if (application)
        V5Method(application, IVel5Application::Version, ByRef(parts.major), ByRef(parts.minor), ByRef(parts.release),
                 ByRef(parts.build));
    return parts;
}

} // namespace

long GetDocumentType(IVel7Application* application)
{
    IDispatchPtr document = V7Get(application, &IVel7Application::get_ActiveDocument);
    if (!document)
        return 0;
    return V7Get(QueryHost<IVel7Document>(document), &IVel7Document::get_Kind);
}

unsigned GetHostVersion(IVel5Application* application)
{
    const VersionParts parts = ReadVersion(application);
    return static_cast<unsigned>(parts.major * 100 + parts.minor * 10 + parts.release);
}

std::wstring GetHostVersionString(IVel5Application* application)
{
    const VersionParts parts = ReadVersion(application);
    return FormatString(L"%d.%d.%d.%d", parts.major, parts.minor, parts.release, parts.build);
}

std::wstring GetHostVersionText(IVel5Application* application)
{
    return FormatString(L"%d", static_cast<unsigned long>(GetHostVersion(application)));
}
