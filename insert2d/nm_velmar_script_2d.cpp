#include "insert2d/nm_velmar_script_2d.h"

#include "core/com_convert.h"
#include "core/files.h"
#include "core/format_string.h"
#include "core/string_utils.h"
#include "core/vbscript_host.h"
#include "hostapi/utility_objects.h"
#include "hostapi/vtable_call.h"
#include "objects/bad_response.h"

namespace {

// In-process and local servers and handlers: wherever the utility classes are registered.
constexpr DWORD kUtilityClassContext = 0x17;

IRAZadiPtr CreateRAZadi(TraceScope& scope)
{
    IUnknownPtr object;
    HRESULT hr = scope.HResult(L"iGuru.CreateInstance(nmutils::CLSID_RAZadi)",
                               CoCreateInstance(CLSID_RAZadi, nullptr, kUtilityClassContext, IID_IUnknown,
                                                reinterpret_cast<void**>(&object)));
    if (FAILED(hr))
        throw _com_error(hr);
    hr = OleRun(object);
    if (FAILED(hr))
        throw _com_error(hr);
    IRAZadiPtr razadi = QueryHost<IRAZadi>(object);
    if (!razadi)
        throw _com_error(E_NOINTERFACE);
    return razadi;
}

// What the script wrote into RAZadi, as a line of the trace log of its own.
void AppendRAZadiText(IRAZadi* razadi)
{
    const _bstr_t text = V7Get(razadi, &IRAZadi::get_Text);
    if (TraceLog* log = TraceLog::Current())
        log->WriteLine(BstrToWString(text) + L"\r\n");
}

} // namespace

NMVelmarScript2D::NMVelmarScript2D(IVel5Application* app5, IVel7Application* app7, INMClient* client,
                                   int32_t macroReference, bool isSpecActive, NMAllSettings* settings)
    : NMVelObj2D(app5, app7, client, macroReference, isSpecActive)
{
    TraceScope scope(L":NMVelmarScript2D");
    Settings = settings;
}

NMVelmarScript2D::~NMVelmarScript2D()
{
    try {
        TraceScope scope(L"~NMVelmarScript2D");
    } catch (...) {
        // The trace is all a destructor writes; the members release themselves.
    }
}

void NMVelmarScript2D::CreateNewMacro()
{
    TraceScope scope(L"NMVelmarScript2D::CreateNewMacro");
    macro = DrawMacro([this] { InsertScript(); });
    scope.Hex(L"macro", macro);
}

void NMVelmarScript2D::CreateNewMacroInGroup()
{
    TraceScope scope(L"NMVelmarScript2D::CreateNewMacroInGroup");
    DrawGroup([this] { CreateNewMacro(); });
    scope.Hex(L"group", group);
}

void NMVelmarScript2D::CreateNewGroup()
{
    TraceScope scope(L"NMVelmarScript2D::CreateNewGroup");
    DrawGroup([this] { InsertScript(); });
    scope.Hex(L"group", group);
}

void NMVelmarScript2D::InsertScript()
{
    TraceScope scope(L"NMVelmarScript2D::InsertScript");
    NM_FileName = NM_Path + NM_Body;
    scope.String(L"NM_FileName", NM_FileName);
    if (GetFileLength(NM_FileName) == -1)
        throw BadResponse(FormatString(L"File \"%s\" not exists", NM_FileName.c_str()));
    std::wstring script;
    if (pData)
        script = pData->GetScriptHeader();
    script += ToWide(ReadFileToString(NM_FileName));
    script += L"\r\n Script_OnLoad()";

    const IRAZadiPtr razadi = CreateRAZadi(scope);
    VBScriptHost host;
    host.AddNamedItem(L"Velmar", iApp5);
    host.AddNamedItem(L"VelApp", iApp7);
    host.AddNamedItem(L"Doc", Doc());
    host.AddNamedItem(L"RAZadi", razadi);
    V7Call(razadi, &IRAZadi::Reset);
    try {
        host.Run(_bstr_t(script.c_str()));
    } catch (const VBScriptError&) {
        AppendRAZadiText(razadi);
        throw;
    }
    AppendRAZadiText(razadi);
}
