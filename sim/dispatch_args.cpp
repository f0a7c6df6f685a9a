#include "sim/dispatch_args.h"

namespace sim {

Args::Args(DISPPARAMS* params, bool put) : params_(params), put_(put)
{
    const unsigned all = params ? params->cArgs : 0;
    count_ = put && all > 0 ? all - 1 : all;
}

const VARIANT& Args::Raw(unsigned i) const
{
    if (i >= count_)
        throw Fail{DISP_E_BADPARAMCOUNT};
    // The put value, when there is one, is rgvarg[0]; the positional arguments lie behind it, last first.
    return params_->rgvarg[params_->cArgs - 1 - i];
}

const VARIANT& Args::At(unsigned i) const
{
    const VARIANT& raw = Raw(i);
    if (V_VT(&raw) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(&raw))
        return *V_VARIANTREF(&raw);
    return raw;
}

const VARIANT& Args::Value() const
{
    if (!put_ || !params_ || params_->cArgs == 0)
        throw Fail{DISP_E_BADPARAMCOUNT};
    const VARIANT& raw = params_->rgvarg[0];
    if (V_VT(&raw) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(&raw))
        return *V_VARIANTREF(&raw);
    return raw;
}

_variant_t Args::Coerced(unsigned i, VARTYPE type) const
{
    const VARIANT& value = At(i);
    _variant_t result;
    if (FAILED(VariantChangeType(&result, const_cast<VARIANT*>(&value), 0, type)))
        throw Fail{DISP_E_TYPEMISMATCH, static_cast<int>(i)};
    return result;
}

long Args::Int32(unsigned i) const
{
    const _variant_t value = Coerced(i, VT_I4);
    return V_I4(&value);
}

short Args::Int16(unsigned i) const
{
    const _variant_t value = Coerced(i, VT_I2);
    return V_I2(&value);
}

bool Args::Bool(unsigned i) const
{
    const _variant_t value = Coerced(i, VT_BOOL);
    return V_BOOL(&value) != VARIANT_FALSE;
}

double Args::Double(unsigned i) const
{
    const _variant_t value = Coerced(i, VT_R8);
    return V_R8(&value);
}

std::wstring Args::Text(unsigned i) const
{
    const _variant_t text = Coerced(i, VT_BSTR);
    return V_BSTR(&text) ? std::wstring(V_BSTR(&text), SysStringLen(V_BSTR(&text))) : std::wstring();
}

IUnknownPtr Args::Unknown(unsigned i) const
{
    const VARIANT& value = At(i);
    IUnknown* object = nullptr;
    switch (V_VT(&value)) {
    case VT_EMPTY:
    case VT_NULL:
        return nullptr;
    case VT_DISPATCH:
        object = V_DISPATCH(&value);
        break;
    case VT_UNKNOWN:
        object = V_UNKNOWN(&value);
        break;
    case VT_DISPATCH | VT_BYREF:
        object = *V_DISPATCHREF(&value);
        break;
    default:
        throw Fail{DISP_E_TYPEMISMATCH, static_cast<int>(i)};
    }
    IUnknownPtr identity;
    if (object)
        object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    return identity;
}

IDispatchPtr Args::Object(unsigned i) const
{
    IUnknownPtr object = Unknown(i);
    IDispatchPtr dispatch;
    if (object && FAILED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
        throw Fail{DISP_E_TYPEMISMATCH, static_cast<int>(i)};
    return dispatch;
}

void* Args::Target(unsigned i, VARTYPE type)
{
    const VARIANT& raw = Raw(i);
    if (V_VT(&raw) == (type | VT_BYREF) && V_BYREF(&raw))
        return V_BYREF(&raw);
    if (V_VT(&raw) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(&raw))
        return nullptr;   // the caller writes a whole VARIANT
    throw Fail{DISP_E_TYPEMISMATCH, static_cast<int>(i)};
}

void Args::SetVariant(unsigned i, const VARIANT& value)
{
    const VARIANT& raw = Raw(i);
    if (V_VT(&raw) != (VT_VARIANT | VT_BYREF) || !V_VARIANTREF(&raw))
        throw Fail{DISP_E_TYPEMISMATCH, static_cast<int>(i)};
    VariantCopy(V_VARIANTREF(&raw), const_cast<VARIANT*>(&value));
}

void Args::SetInt32(unsigned i, long value)
{
    if (void* target = Target(i, VT_I4))
        *static_cast<long*>(target) = value;
    else
        SetVariant(i, _variant_t(value));
}

void Args::SetInt16(unsigned i, short value)
{
    if (void* target = Target(i, VT_I2))
        *static_cast<short*>(target) = value;
    else
        SetVariant(i, _variant_t(value));
}

void Args::SetBool(unsigned i, bool value)
{
    if (void* target = Target(i, VT_BOOL))
        *static_cast<VARIANT_BOOL*>(target) = value ? VARIANT_TRUE : VARIANT_FALSE;
    else
        SetVariant(i, _variant_t(value));
}

void Args::SetDouble(unsigned i, double value)
{
    if (void* target = Target(i, VT_R8))
        *static_cast<double*>(target) = value;
    else
        SetVariant(i, _variant_t(value));
}

void Args::SetText(unsigned i, const std::wstring& value)
{
    if (void* target = Target(i, VT_BSTR)) {
        BSTR* text = static_cast<BSTR*>(target);
        SysFreeString(*text);
        *text = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    } else {
        SetVariant(i, _variant_t(value.c_str()));
    }
}

void Args::SetObject(unsigned i, IDispatch* value)
{
    if (void* target = Target(i, VT_DISPATCH)) {
        IDispatch** object = static_cast<IDispatch**>(target);
        if (*object)
            (*object)->Release();
        *object = value;
        if (value)
            value->AddRef();
    } else {
        SetVariant(i, _variant_t(value));
    }
}

} // namespace sim
