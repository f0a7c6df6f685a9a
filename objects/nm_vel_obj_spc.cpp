#include "objects/nm_vel_obj_spc.h"

#include "core/com_convert.h"
#include "hostapi/dispatch_call.h"
#include "objects/spc_columns.h"

NMVelObjSpc::NMVelObjSpc(IVel5Application* app5, IVel7Application* app7, INMClient* client,
                         IVel5SpecificationPtr* spc, const SpcDocContext* context, IDispatch* spcObject,
                         bool is3DSpec, NMAllSettings* settings)
    : NMVelObj(app5, app7, client, true, is3DSpec), specification_(spc)
{
    TraceScope scope(L":NMVelObjSpc");
    // A null entry would make every later use of the list fail before BindTo filled it.
    if (spcObject)
        ExSpcObjs.push_back(QueryHost<IDispatch>(spcObject));
    Settings = settings;
    if (spcObject && context && context->IsComplete())
        ReadIdFromSpcObject(*context);
    scope.Value(L"IsNMObject", IsNMObject);
}

NMVelObjSpc::~NMVelObjSpc()
{
    try {
        TraceScope scope(L"~NMVelObjSpc");
    } catch (...) {
        // The trace is all a destructor writes.
    }
}

void NMVelObjSpc::ReadIdFromSpcObject(const SpcDocContext& context)
{
    TraceScope scope(L"NMVelObjSpc::ReadIdFromSpcObject");
    IsNMObject = false;
    IVel7SpcObjectPtr first = GetFirstSpcObject();
    if (!first)
        RaiseNullHostPointer(__uuidof(IVel7SpcObject));
    const _variant_t origin = V7Get(first, &IVel7SpcObject::get_Origin);
    if (V_VT(&origin) != VT_EMPTY) {
        scope.WriteLine(L"Origin");
        return;
    }
    const IDispatchPtr columnsB = V7Get(first, &IVel7SpcObjectBase::get_ColumnsB);
    if (IVel7SpcColumnPtr column = FindColumnByName(columnsB, context.iSpcDscSubB, L"ID Normset")) {
        NM_QuarvendID = ColumnText(column);
        IsNMObject = !NM_QuarvendID.empty();
    }
    scope.String(L"NM_QuarvendID", NM_QuarvendID);
}

void NMVelObjSpc::BindTo(NMObject* found)
{
    TraceScope scope(L"NMVelObjSpc::BindTo");
    if (found == this)
        return;
    if (auto* other = dynamic_cast<NMVelObj*>(found))
        ExSpcObjs = other->ExSpcObjs;
}

void NMVelObjSpc::GetExistsSpcObjects(const SpcDocContext&)
{
    TraceScope scope(L"NMVelObjSpc::GetExistsSpcObjects");
}

void NMVelObjSpc::RestorePosition(int32_t position)
{
    TraceScope scope(L"NMVelObjSpc::RestorePosition");
    scope.Value(L"position", _variant_t(static_cast<long>(position)));
    if (specification_ && *specification_)
        V5Method(*specification_, IVel5Specification::SetPosition, static_cast<long>(position));
}
