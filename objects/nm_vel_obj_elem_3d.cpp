#include "objects/nm_vel_obj_elem_3d.h"

#include "core/com_convert.h"
#include "core/format_string.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/element_queries.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

std::int64_t Address(IUnknown* object)
{
    return reinterpret_cast<std::int64_t>(object);
}

constexpr short kMacroElementType = 63;

} // namespace

NMVelObjElem3D::NMVelObjElem3D(IVel5Application* app5, IVel7Application* app7, INMClient* client, IVel5Entity* macro,
                               bool isTCS, bool isSpecActive)
    : NMVelObj3D(app5, app7, client, isSpecActive), iMacro(macro), IsTCS(isTCS)
{
    TraceScope scope(L":NMVelObjElem3D");
    if (iMacro) {
        state = StateReplace;
        iMacroDef = ObjectAs<IVel5MacroDefinition>(V5Method(iMacro, IVel5Entity::Definition));
        Load();
    } else {
        IsElement = !IsTCS;
    }
    scope.Hex(L"iMacro", Address(iMacro));
    scope.Hex(L"iMacroDef", Address(iMacroDef));
    scope.Value(L"IsNMObject", _variant_t(static_cast<long>(IsNMObject)));
    scope.Value(L"IsTCS", _variant_t(static_cast<long>(IsTCS)));
    scope.Value(L"IsElement", _variant_t(static_cast<long>(IsElement)));
}

NMVelObjElem3D::NMVelObjElem3D(IVel5Application* app5, IVel7Application* app7, IVel5Entity* macro)
    : NMVelObj3D(app5, app7, nullptr, false), iMacro(macro)
{
    TraceScope scope(L":NMVelObjElem3D");
    if (!iMacro)
        RaiseNullHostPointer(__uuidof(IVel5Entity));
    iMacroDef = ObjectAs<IVel5MacroDefinition>(V5Method(iMacro, IVel5Entity::Definition));
    FastLoad();
}

NMVelObjElem3D::~NMVelObjElem3D()
{
    try {
        TraceScope scope(L"~NMVelObjElem3D");
        ClearPos();
    } catch (...) {
        // The model's own destructor keeps its failures inside; nothing else here can fail.
    }
}

void NMVelObjElem3D::SaveAsPlaced(const std::wstring& location)
{
    struct Exchanged {
        NMObject& object;
        std::wstring body;
        std::wstring id;
        ~Exchanged()
        {
            object.NM_Body.swap(body);
            object.NM_ID.swap(id);
        }
    } exchanged{*this, NM_Body, NM_ID};
    NM_Body = NM_ID;
    NM_ID = location;
    Save();
}

void NMVelObjElem3D::ClearPos()
{
    TraceScope scope(L"NMVelObjElem3D::ClearPos");
    elem_pos.reset();
}

void NMVelObjElem3D::SetUniqueName(IVel5Entity* macro, const std::wstring& baseName)
{
    TraceScope scope(L"NMVelObjElem3D::SetUniqueName");
    scope.String(L"aBaseName", baseName);
    // The top part's host object answers the part interface: the part whose elements are named apart.
    const IVel5PartPtr part = ObjectAs<IVel5Part>(V5Method(iTopPart5, IVel5Part::HostObject));
    ObjArray elements;
    CollectNamedObjects(part, kMacroElementType, elements);
    std::vector<std::wstring> names;
    for (const IDispatchPtr& element : elements) {
        const IVel5EntityPtr entity = QueryHostOrNull<IVel5Entity>(element);
        if (!entity)
            RaiseNullHostPointer(__uuidof(IVel5Entity));
        names.push_back(VariantToWString(V5Get(entity, IVel5Entity::Name)));
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    scope.Value(L"macro_names.size()", _variant_t(static_cast<unsigned long>(names.size())));
    auto taken = [&names](const std::wstring& name) { return std::binary_search(names.begin(), names.end(), name); };

    std::wstring name;
    if (!taken(baseName)) {
        name = baseName;
    } else {
        for (long n = 1; n < LONG_MAX; ++n) {
            std::wstring candidate = FormatString(L"%s (%d)", baseName.c_str(), n);
            if (!taken(candidate)) {
                name = std::move(candidate);
                break;
            }
        }
    }
    if (!name.empty())
        V5Put(macro, IVel5Entity::Name, name);
    scope.String(L"name", name);
    V5Method(macro, IVel5Entity::Update);
}
