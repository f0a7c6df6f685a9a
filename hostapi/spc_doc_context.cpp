#include "hostapi/spc_doc_context.h"

#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/dual_interface.h"
#include "hostapi/host_error.h"
#include "hostapi/host_query.h"
#include "hostapi/host_version.h"
#include "hostapi/vtable_call.h"

#include <algorithm>

void SpcDocContext::Refresh(bool createIfMissing)
{
    if (!iApp5 || !iApp7)
        return;
    iSpcDscs = nullptr;
    iSpcDsc = nullptr;
    iSpcObjs = nullptr;
    iSpcDscSub = nullptr;
    iSpcDscSubA = nullptr;
    iSpcDscSubB = nullptr;

    IDispatchPtr document = V7Get(iApp7, &IVel7Application::get_ActiveDocument);
    if (!document)
        return;
    iSpcDscs = QueryHostOrNull<IVel7SpcDescriptions>(
        V7Get(QueryHost<IVel7Document>(document), &IVel7Document::get_SpcDescriptions));
    if (!iSpcDscs)
        return;
    iSpcDsc = QueryHostOrNull<IVel7SpcDescription>(GetHostVersion(iApp5) < kHostVersion1500
                                                       ? V7Get(iSpcDscs, &IVel7SpcDescriptions::get_Active)
                                                       : V7Get(iSpcDscs, &IVel7SpcDescriptions::get_Current));
    if (!iSpcDsc && createIfMissing) {
        const _bstr_t empty(L"");
        iSpcDsc = QueryHostOrNull<IVel7SpcDescription>(
            V7Get(iSpcDscs, &IVel7SpcDescriptions::Add, static_cast<BSTR>(empty), 0L, static_cast<BSTR>(empty)));
        if (!iSpcDsc)
            V5Method(iApp5, IVel5Application::Refresh);
    }
    if (!iSpcDsc)
        return;
    iSpcObjs = QueryHostOrNull<IDispatch>(V7Get(iSpcDsc, &IVel7SpcDescription::get_SpcObjects));
    iSpcDscSub = QueryHostOrNull<IVel7SpcDescriptionSub>(V7Get(iSpcDsc, &IVel7SpcDescription::get_Sub));
    if (iSpcDscSub) {
        iSpcDscSubA = QueryHostOrNull<IDispatch>(V7Get(iSpcDscSub, &IVel7SpcDescriptionSub::get_ColumnsA));
        iSpcDscSubB = QueryHostOrNull<IDispatch>(V7Get(iSpcDscSub, &IVel7SpcDescriptionSub::get_ColumnsB));
    }
}

bool SpcDocContext::IsComplete() const
{
    return IsMainlyValid() && iSpcDscSubB;
}

bool SpcDocContext::IsMainlyValid() const
{
    return iSpcDscs && iSpcDsc && iSpcObjs && iSpcDscSub && iSpcDscSubA;
}

ObjArray GetSpcObjectAt(IVel5Application* application, long reference)
{
    ObjArray list;
    if (reference == 0)
        return list;
    auto object = ObjectAs<IVel7DrawingObject>(V5Method(application, IVel5Application::SpcObjectAt, reference, 0L));
    if (IDispatchPtr dispatch = QueryHostOrNull<IDispatch>(object))
        list.push_back(dispatch);
    return list;
}

ObjArray SpcObjectsHolding(const SpcDocContext& context, IDispatch* object)
{
    ObjArray holding;
    if (context.iSpcObjs)
        holding.Assign(V7Get(AsDual<IVel7SpcObjects>(context.iSpcObjs), &IVel7SpcObjects::ObjectsOf, _variant_t(object)));
    return holding;
}

ObjArray HeldByNoSpcObject(const SpcDocContext& context, const ObjArray& objects, const ObjArray& going)
{
    ObjArray unheld;
    for (const IDispatchPtr& object : objects) {
        const ObjArray holding = SpcObjectsHolding(context, object);
        if (std::all_of(holding.begin(), holding.end(), [&](const IDispatchPtr& line) { return HoldsHostObject(going, line); }))
            unheld.push_back(object);
    }
    return unheld;
}

void IncludeSpcGeometry(IVel7SpcObject* object, const ObjArray& geometry, TraceScope& scope)
{
    const VARIANT_BOOL done = V7Get(object, &IVel7SpcObject::IncludeGeometry, geometry.ToVariant(), VARIANT_FALSE);
    scope.Value(L"iSpcObj->IncludeGeometry(aGeom, VARIANT_FALSE)", _variant_t(done != VARIANT_FALSE));
    if (done == VARIANT_FALSE)
        RaiseHostError(E_FAIL, object, __uuidof(IVel7SpcObject));
}
