#pragma once
// Interface queries on host objects: a missing interface (E_NOINTERFACE) gives null, any other failure
// raises _com_error carrying the IID asked for.
#include "hostapi/host_error.h"
#include "hostapi/interface_macros.h"

#include <type_traits>

// The smart pointer of a host interface (IVel5ApplicationPtr for IVel5Application).
template <class I>
using HostPtr = typename HostPtrOf<I>::type;

// Null input: E_POINTER, the object was needed.
template <class I>
HostPtr<I> QueryHost(IUnknown* object)
{
    if (!object)
        RaiseNullHostPointer(__uuidof(I));
    I* result = nullptr;
    const HRESULT hr = object->QueryInterface(__uuidof(I), reinterpret_cast<void**>(&result));
    if (hr == E_NOINTERFACE)
        return HostPtr<I>();
    if (FAILED(hr))
        RaiseHostError(hr, nullptr, __uuidof(I));
    return HostPtr<I>(result, false);
}

// True when both point at one COM object: the same pointer, or the same IUnknown identity. Two nulls
// are the same; a null and an object are not.
inline bool SameHostObject(IUnknown* a, IUnknown* b)
{
    if (a == b)
        return true;
    if (!a || !b)
        return false;
    IUnknownPtr identityA;
    IUnknownPtr identityB;
    a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identityA));
    b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identityB));
    return identityA && identityA == identityB;
}

// True when the list (of interface pointers) holds the object itself, by SameHostObject.
template <class List>
bool HoldsHostObject(const List& list, IUnknown* object)
{
    for (const auto& listed : list)
        if (SameHostObject(listed, object))
            return true;
    return false;
}

// Null input gives null: for the operations whose empty input means an empty answer.
template <class I>
HostPtr<I> QueryHostOrNull(IUnknown* object)
{
    return object ? QueryHost<I>(object) : HostPtr<I>();
}

// The object a host call returned in a variant: empty and null give null; anything but an object is a
// type mismatch.
template <class I>
HostPtr<I> ObjectAs(const VARIANT& value)
{
    const VARIANT* v = &value;
    if (V_VT(v) == (VT_VARIANT | VT_BYREF))
        v = V_VARIANTREF(v);
    switch (V_VT(v)) {
    case VT_EMPTY:
    case VT_NULL:
        return HostPtr<I>();
    case VT_DISPATCH:
        return QueryHostOrNull<I>(V_DISPATCH(v));
    case VT_UNKNOWN:
        return QueryHostOrNull<I>(V_UNKNOWN(v));
    default:
        RaiseHostError(DISP_E_TYPEMISMATCH, nullptr, __uuidof(I));
    }
}
