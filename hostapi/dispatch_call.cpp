#include "hostapi/dispatch_call.h"

#include "core/unique.h"

namespace hostapi_detail {

namespace {

_variant_t ByReference(VARTYPE type, void* target)
{
    _variant_t arg;
    V_VT(&arg) = static_cast<VARTYPE>(type | VT_BYREF);
    V_BYREF(&arg) = target;   // VariantClear leaves a by-reference value alone
    return arg;
}

} // namespace

_variant_t DispArg(bool value) { return _variant_t(value); }
_variant_t DispArg(short value) { return _variant_t(value); }
_variant_t DispArg(int value) { return _variant_t(static_cast<long>(value)); }
_variant_t DispArg(long value) { return _variant_t(value); }
_variant_t DispArg(double value) { return _variant_t(value); }
_variant_t DispArg(const wchar_t* text) { return _variant_t(text ? text : L""); }
_variant_t DispArg(const _bstr_t& text) { return _variant_t(text); }
_variant_t DispArg(const std::wstring& text) { return _variant_t(text.c_str()); }
_variant_t DispArg(IDispatch* object) { return _variant_t(object); }
_variant_t DispArg(IUnknown* object) { return _variant_t(object); }
_variant_t DispArg(const VARIANT& value) { return _variant_t(value); }
_variant_t DispArg(DispRef<long> target) { return ByReference(VT_I4, target.target); }
_variant_t DispArg(DispRef<short> target) { return ByReference(VT_I2, target.target); }
_variant_t DispArg(DispRef<double> target) { return ByReference(VT_R8, target.target); }
_variant_t DispArg(DispRef<_bstr_t> target) { return ByReference(VT_BSTR, target.target->GetAddress()); }
_variant_t DispArg(DispRef<_variant_t> target)
{
    target.target->Clear();
    return ByReference(VT_VARIANT, static_cast<VARIANT*>(target.target));
}
_variant_t DispArg(DispBoolRef target) { return ByReference(VT_BOOL, target.target); }

_variant_t Invoke(IDispatch* object, REFIID iid, DISPID id, WORD kind, _variant_t* args, unsigned count)
{
    if (!object)
        RaiseNullHostPointer(iid);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = count ? static_cast<VARIANTARG*>(args) : nullptr;
    params.cArgs = count;
    if (kind == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    _variant_t result;
    UniqueExcepInfo exception;
    UINT badArgument = 0;
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params,
                                      kind == DISPATCH_PROPERTYPUT ? nullptr : &result, exception.put(), &badArgument);
    if (hr == DISP_E_EXCEPTION)
        RaiseDispatchException(exception.get(), iid);
    if (FAILED(hr))
        RaiseHostError(hr, object, iid);
    return result;
}

} // namespace hostapi_detail
