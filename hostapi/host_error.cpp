#include "hostapi/host_error.h"

namespace {

// Error information carrying the IID (and the host's texts when it gave some); null when even that
// cannot be made, in which case the _com_error still carries the HRESULT.
IErrorInfo* MakeErrorInfo(REFIID iid, BSTR source, BSTR description)
{
    ICreateErrorInfoPtr create;
    if (FAILED(CreateErrorInfo(&create)))
        return nullptr;
    create->SetGUID(iid);
    if (source)
        create->SetSource(source);
    if (description)
        create->SetDescription(description);
    IErrorInfo* info = nullptr;
    create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
    return info;
}

} // namespace

void RaiseHostError(HRESULT hr, IUnknown* object, REFIID iid)
{
    IErrorInfo* info = nullptr;
    if (object) {
        ISupportErrorInfoPtr support;
        if (SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support))) &&
            support->InterfaceSupportsErrorInfo(iid) == S_OK && GetErrorInfo(0, &info) != S_OK)
            info = nullptr;
    }
    if (!info)
        info = MakeErrorInfo(iid, nullptr, nullptr);
    throw _com_error(hr, info);   // takes over the reference
}

void RaiseDispatchException(EXCEPINFO& info, REFIID iid)
{
    if (info.pfnDeferredFillIn)
        info.pfnDeferredFillIn(&info);
    HRESULT hr = info.scode;
    if (SUCCEEDED(hr))
        hr = info.wCode ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_DISPATCH, info.wCode) : DISP_E_EXCEPTION;
    throw _com_error(hr, MakeErrorInfo(iid, info.bstrSource, info.bstrDescription));
}
