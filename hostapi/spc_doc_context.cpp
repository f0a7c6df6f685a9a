#include "hostapi/spc_doc_context.h"

#include "hostapi/dispatch_call.h"
#include "hostapi/host_version.h"
#include "hostapi/vtable_call.h"

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
