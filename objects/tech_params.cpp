// NMVelObj: the part's technological data as attributes of "corvalis.lat".
#include "objects/tech_params.h"

#include "core/com_convert.h"
#include "core/files.h"
#include "core/string_utils.h"
#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "objects/nm_vel_obj.h"

#include <cwctype>

namespace {

bool IsBooleanText(const std::wstring& text)
{
    std::wstring lower;
    for (wchar_t c : text)
        lower += static_cast<wchar_t>(std::towlower(c));
    return lower == L"true" || lower == L"false";
}

// Velmar's full path of the attribute library; empty when it does not exist there.
std::wstring AttributeLibrary(IVel5Application* app5, TraceScope& scope)
{
    const std::wstring file = VariantToWString(V5Method(app5, IVel5Application::LibraryFilePath, kTechAttributeLibrary, 0L));
    scope.String(L"lat_file", file);
    return GetFileLength(file) == -1 ? std::wstring() : file;
}

IVel5AttributeManagerPtr AttributeManager(IVel5Application* app5)
{
    return ObjectAs<IVel5AttributeManager>(V5Method(app5, IVel5Application::AttributeManager));
}

} // namespace

TechParamText ClassifyTechParam(const std::wstring& raw)
{
    const std::wstring value = Trim(raw);
    if (value.empty())
        return {};
    // Only quotes around the whole value mark a text and come off (a lone quote leaves nothing); any other
    // quote belongs to the value, as the inch mark of G1/2".
    if (value.front() == L'"' && value.back() == L'"')
        return {L"string", value.size() < 2 ? std::wstring() : value.substr(1, value.size() - 2)};
    if (value.find(L'"') != std::wstring::npos)
        return {L"string", value};
    if (IsBooleanText(value))
        return {L"boolean", value};
    return {L"float", ReplaceAll(value, L".", L",")};
}

void NMVelObj::SaveTechParams()
{
    TraceScope scope(L"NMVelObj::SaveTechParams");
    if (!pData) {
        scope.WriteLine(L"pData=null");
        return;
    }
    scope.String(L"pData->LocationUTS", pData->LocationUTS);
    const std::wstring library = AttributeLibrary(iApp5, scope);
    if (library.empty())
        return;
    IVel5AttributeManagerPtr manager = AttributeManager(iApp5);
    if (pData->LocationUTS.empty())
        return;
    CreateTechAttribute(kTechElementAttribute, manager, {{pData->NameKE}, {pData->LocationUTS}}, library);

    scope.Value(L"pData->Tech.empty()", pData->Tech.empty());
    if (pData->Tech.empty())
        return;
    scope.Value(L"pData->Tech.size()", _variant_t(static_cast<unsigned long>(pData->Tech.size())));
    TechAttrValues values;
    for (const auto& [name, raw] : pData->Tech) {
        const TechParamText param = ClassifyTechParam(raw);
        scope.String(L"var_name", name);
        scope.String(L"par_type", param.type);
        scope.String(L"par_val", param.value);
        values.push_back({name});
        values.push_back({param.value});
        values.push_back({param.type});
    }
    CreateTechAttribute(kTechParamsAttribute, manager, values, library);
}

void NMVelObj::clearTechParams()
{
    TraceScope scope(L"NMVelObj::clearTechParams");
    if (AttributeLibrary(iApp5, scope).empty())
        return;
    IVel5AttributeManagerPtr manager = AttributeManager(iApp5);
    DeleteTechAttribute(kTechElementAttribute, manager);
    DeleteTechAttribute(kTechParamsAttribute, manager);
}
