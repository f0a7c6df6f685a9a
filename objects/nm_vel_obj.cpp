#include "objects/nm_vel_obj.h"

#include "core/data_convert_error.h"
#include "core/files.h"
#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/host_window.h"
#include "hostapi/host_version.h"
#include "hostapi/restore_step.h"
#include "hostapi/vtable_call.h"
#include "objects/bad_response.h"
#include "objects/cant_create_spc_obj.h"

#include <utility>

NMVelObj::NMVelObj(IVel5Application* app5, IVel7Application* app7, INMClient* client, bool isSpecActive, bool is3DSpec)
    : NMObject(HostMainWindow(app5), client), IsSpecActive(isSpecActive), Is3DSpec(is3DSpec), NM_LibName(L"Нормсет"),
      NM_LibFileName(GetModulePath()), NM_Type(L"Стандартное изделие"), iApp5(app5), iApp7(app7),
      HostVersion(GetHostVersion(app5))
{
    TraceScope scope(L":NMVelObj");
    scope.Value(L"Is3DSpec", Is3DSpec);
    scope.Value(L"IsSpecActive", IsSpecActive);
    scope.String(L"NM_LibName", NM_LibName);
    scope.String(L"NM_LibFileName", NM_LibFileName);
    scope.String(L"NM_Type", NM_Type);
}

NMVelObj::~NMVelObj()
{
    try {
        TraceScope scope(L"~NMVelObj");
    } catch (...) {
        // Nothing to undo: the trace is all a destructor writes; the members release themselves.
    }
}

void NMVelObj::loadPartData(const pugi::xml_node& node, XmlDocumentPtr document)
{
    NMObject::loadPartData(node, std::move(document));
    MakeOwnPreset();
}

void NMVelObj::loadObjectData(const pugi::xml_node& node, XmlDocumentPtr document)
{
    NMObject::loadObjectData(node, std::move(document));
    MakeOwnPreset();
}

void NMVelObj::MakeOwnPreset()
{
    // A part that names a section must bring the whole preset: a missing companion variable fails the load,
    // and so does a value that does not convert, before anything is placed with it.
    if (!OwnPreset && pData && pData->ObjData.count(L"spcSection")) {
        auto preset = std::make_unique<NMSpcPreset>(pData->ObjData);
        ParseColumns(*preset);
        OwnPreset = std::move(preset);
    }
}

void NMVelObj::ParseColumns(NMSpcPreset& preset) const
{
    try {
        ParseColumnSet(preset.ParsedColumns, preset.Columns, PartVariables());
    } catch (const DataConvertError& failure) {
        throw BadResponseOfValue(failure);
    }
}

uint32_t NMVelObj::Apply()
{
    TraceScope scope(L"NMVelObj::Apply");
    return NMObject::Apply();
}

void NMVelObj::BeginBatch()
{
    NMObject::BeginBatch();
    MoveAnswer = MoveNotAsked;
    SpcErrorShown = false;
}

bool NMVelObj::HasSpcData() const
{
    return OwnPreset != nullptr;
}

void NMVelObj::GetExistsSpcObjects(const SpcDocContext&)
{
    ExSpcObjs.clear();
}

void NMVelObj::RemoveExistsSpcObjects()
{
    TraceScope scope(L"NMVelObj::RemoveExistsSpcObjects");
    if (ExSpcObjs.empty())
        return;
    scope.Value(L"ExSpcObjs.size()", _variant_t(static_cast<unsigned long>(ExSpcObjs.size())));
    while (!ExSpcObjs.empty()) {
        IVel7SpcObjectPtr object = QueryHostOrNull<IVel7SpcObject>(ExSpcObjs.front());
        if (!object)
            RaiseNullHostPointer(__uuidof(IVel7SpcObject));
        const ObjArray held(V7Get(object, &IVel7SpcObject::get_Geometry));
        try {
            V7Get(object, &IVel7SpcObject::ExcludeGeometry, -1L, -1L);
            V7Get(object, &IVel7SpcObjectBase::Update);
            V7Call(object, &IVel7SpcObjectBase::Delete);
        } catch (...) {
            // Not deleted: an object without its geometry would stand in the bill of materials holding
            // nothing, so it gets its geometry back and stays listed.
            RestoreStep(L"NMVelObj::RemoveExistsSpcObjects", [&] {
                if (ObjArray(V7Get(object, &IVel7SpcObject::get_Geometry)).empty() &&
                    V7Get(object, &IVel7SpcObject::IncludeGeometry, held.ToVariant(), VARIANT_FALSE) == VARIANT_FALSE)
                    scope.WriteLine(L"the geometry could not be given back");
            });
            throw;
        }
        ExSpcObjs.erase(ExSpcObjs.begin());
    }
}

void NMVelObj::RestorePosition(int32_t position)
{
    TraceScope scope(L"NMVelObj::RestorePosition");
    scope.Value(L"position", _variant_t(static_cast<long>(position)));
}

bool NMVelObj::IsCanCreateSpcObj() const
{
    return HasSpcData() && Settings && Settings->CreateSpcObject;
}

void NMVelObj::Save() {}

void NMVelObj::Load() {}

void NMVelObj::CreateTechAttribute(double, IVel5AttributeManager*, const TechAttrValues&, const std::wstring&) {}

void NMVelObj::DeleteTechAttribute(double, IVel5AttributeManager*) {}

SpcDocContext NMVelObj::Context(bool createIfMissing) const
{
    SpcDocContext context;
    context.iApp5 = iApp5;
    context.iApp7 = iApp7;
    context.Refresh(createIfMissing);
    return context;
}

IVel7SpcObjectPtr NMVelObj::GetFirstSpcObject() const
{
    if (ExSpcObjs.empty())
        return nullptr;
    return QueryHostOrNull<IVel7SpcObject>(ExSpcObjs.front());
}

NMSpcPreset& NMVelObj::RequireOwnPreset(TraceScope& scope)
{
    if (!OwnPreset) {
        // A part re-fetched from the reference book without placement data: callers that did not ask
        // HasSpcData first get the failure they report to the user, not a read through nothing.
        scope.WriteLine(L"OwnPreset=null");
        throw CantCreateSpcObj();
    }
    return *OwnPreset;
}

const NMSpcPreset& NMVelObj::RequireRebuildPreset(TraceScope& scope)
{
    if (RebuildPreset)
        return *RebuildPreset;
    return RequireOwnPreset(scope);
}

const NMSpcPreset& NMVelObj::RequireActivePreset(TraceScope& scope)
{
    if (!Settings) {
        scope.WriteLine(L"Settings=null");
        throw CantCreateSpcObj();
    }
    return Settings->GetActivePreset();
}

const Variables& NMVelObj::PartVariables() const
{
    static const Variables none;
    return pData ? pData->ObjData : none;
}
