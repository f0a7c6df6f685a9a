#pragma once
// Calls of version-5 members through IDispatch::Invoke. Arguments are written first-first, as the host
// documents them; the helper lays them out last-first in rgvarg as Invoke expects. A failed call raises
// _com_error with the HRESULT (the host's own code for DISP_E_EXCEPTION) and the interface's IID.
//
//   long major = 0, minor = 0, release = 0, build = 0;
//   V5Method(app, IVel5Application::Version, ByRef(major), ByRef(minor), ByRef(release), ByRef(build));
//   V5Put(doc, IVel5Document3D::UndoRecording, false);
//   auto part = ObjectAs<IVel5Part>(V5Method(info, IVel5PlacementInfo::Part));
//
// Argument types map to automation types: bool VT_BOOL, short VT_I2, int and long VT_I4, double VT_R8,
// text VT_BSTR, interfaces VT_DISPATCH or VT_UNKNOWN, variants as they are; ByRef(x) passes x by
// reference for the host to fill (long, short, double, _bstr_t, _variant_t; ByRefBool for VARIANT_BOOL).
#include "hostapi/host_query.h"

#include <string>
#include <type_traits>

template <class T>
struct DispRef {
    T* target;
};

template <class T>
DispRef<T> ByRef(T& target)
{
    return {&target};
}

struct DispBoolRef {
    VARIANT_BOOL* target;
};

inline DispBoolRef ByRefBool(VARIANT_BOOL& target)
{
    return {&target};
}

namespace hostapi_detail {

_variant_t DispArg(bool value);
_variant_t DispArg(short value);
_variant_t DispArg(int value);
_variant_t DispArg(long value);
_variant_t DispArg(double value);
_variant_t DispArg(const wchar_t* text);
_variant_t DispArg(const _bstr_t& text);
_variant_t DispArg(const std::wstring& text);
_variant_t DispArg(IDispatch* object);
_variant_t DispArg(IUnknown* object);
_variant_t DispArg(const VARIANT& value);
_variant_t DispArg(DispRef<long> target);
_variant_t DispArg(DispRef<short> target);
_variant_t DispArg(DispRef<double> target);
_variant_t DispArg(DispRef<_bstr_t> target);
_variant_t DispArg(DispRef<_variant_t> target);
_variant_t DispArg(DispBoolRef target);

template <class Id>
_variant_t DispArg(const _com_ptr_t<Id>& object)
{
    return DispArg(object.GetInterfacePtr());
}

// Any interface pointer: as VT_DISPATCH when it is one.
template <class I>
    requires(std::is_base_of_v<IUnknown, I> && !std::is_same_v<I, IDispatch> && !std::is_same_v<I, IUnknown>)
_variant_t DispArg(I* object)
{
    if constexpr (std::is_base_of_v<IDispatch, I>)
        return DispArg(static_cast<IDispatch*>(object));
    else
        return DispArg(static_cast<IUnknown*>(object));
}

// args: last argument first. For a property put the value comes first, as rgvarg[0].
_variant_t Invoke(IDispatch* object, REFIID iid, DISPID id, WORD kind, _variant_t* args, unsigned count);

template <class P>
IDispatch* DispatchOf(const P& object)
{
    if constexpr (std::is_pointer_v<P>)
        return object;
    else
        return object.GetInterfacePtr();
}

template <class P>
constexpr const IID& IidOf()
{
    if constexpr (std::is_pointer_v<P>)
        return __uuidof(std::remove_cv_t<std::remove_pointer_t<P>>);
    else
        return __uuidof(typename P::Interface);
}

template <class P, class... A>
_variant_t InvokeWith(const P& object, DISPID id, WORD kind, const A&... args)
{
    constexpr unsigned count = sizeof...(A);
    _variant_t reversed[count > 0 ? count : 1];
    unsigned i = count;
    ((reversed[--i] = DispArg(args)), ...);
    return Invoke(DispatchOf(object), IidOf<P>(), id, kind, reversed, count);
}

} // namespace hostapi_detail

// A method call; members the host documents both as a method and as a property get are called as methods.
template <class P, class... A>
_variant_t V5Method(const P& object, DISPID id, const A&... args)
{
    return hostapi_detail::InvokeWith(object, id, DISPATCH_METHOD, args...);
}

// A property get, with the index arguments of an indexed property if any.
template <class P, class... A>
_variant_t V5Get(const P& object, DISPID id, const A&... index)
{
    return hostapi_detail::InvokeWith(object, id, DISPATCH_PROPERTYGET, index...);
}

// A property put: the value is the property's new value.
template <class P, class V>
void V5Put(const P& object, DISPID id, const V& value)
{
    // For a put, the value sits in rgvarg[0] under the named argument DISPID_PROPERTYPUT.
    _variant_t arg = hostapi_detail::DispArg(value);
    hostapi_detail::Invoke(hostapi_detail::DispatchOf(object), hostapi_detail::IidOf<P>(), id,
                           DISPATCH_PROPERTYPUT, &arg, 1);
}
