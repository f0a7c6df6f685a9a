#pragma once
// Calls of version-7 methods through the function table. A failing HRESULT raises _com_error carrying
// the IID of the interface that declares the method; a call through an empty pointer raises E_POINTER.
//
//   long kind = V7Get(doc7, &IVel7Document::get_Kind);
//   IDispatchPtr doc = V7Get(app7, &IVel7Application::get_ActiveDocument);
//   IDispatchPtr added = V7Get(descriptions, &IVel7SpcDescriptions::Add, _bstr_t(L""), 0L, _bstr_t(L""));
//   V7Call(doc7, &IVel7Document3D::put_UndoContainerMode, VARIANT_FALSE);
#include "core/unique.h"
#include "hostapi/host_query.h"

#include <tuple>
#include <type_traits>
#include <utility>

namespace hostapi_detail {

template <class P>
auto RawOf(const P& object)
{
    if constexpr (std::is_pointer_v<P>)
        return object;
    else
        return object.GetInterfacePtr();
}

// The owner of an out value: interfaces as smart pointers, strings as _bstr_t, variants as _variant_t.
template <class T>
struct OutValue {
    T value{};
    T* Address() { return &value; }
    T Take() { return value; }
};

// An out value the host filled in before failing is freed when the call raises and it is never taken.
template <>
struct OutValue<BSTR> {
    UniqueBstr value;
    BSTR* Address() { return value.put(); }
    _bstr_t Take() { return _bstr_t(value.release(), false); }
};

template <>
struct OutValue<VARIANT> {
    UniqueVariant value;
    VARIANT* Address() { return value.put(); }
    _variant_t Take()
    {
        _variant_t result;
        result.Attach(value.get());
        value.release();
        return result;
    }
};

template <class I>
    requires std::is_base_of_v<IUnknown, I>
struct OutValue<I*> {
    I* value = nullptr;
    OutValue() = default;
    OutValue(const OutValue&) = delete;
    ~OutValue()
    {
        if (value)
            value->Release();
    }
    I** Address() { return &value; }
    HostPtr<I> Take() { return HostPtr<I>(std::exchange(value, nullptr), false); }
};

template <class... M>
using LastOf = std::tuple_element_t<sizeof...(M) - 1, std::tuple<M...>>;

} // namespace hostapi_detail

template <class P, class I, class... M, class... A>
void V7Call(const P& object, HRESULT (STDMETHODCALLTYPE I::*method)(M...), A&&... args)
{
    I* raw = hostapi_detail::RawOf(object);
    if (!raw)
        RaiseNullHostPointer(__uuidof(I));
    const HRESULT hr = (raw->*method)(std::forward<A>(args)...);
    if (FAILED(hr))
        RaiseHostError(hr, raw, __uuidof(I));
}

// A method whose last parameter is its out value: the in-arguments are given, the out value is returned.
template <class P, class I, class... M, class... A>
auto V7Get(const P& object, HRESULT (STDMETHODCALLTYPE I::*method)(M...), A&&... in)
{
    static_assert(sizeof...(M) == sizeof...(A) + 1, "V7Get gives the in-arguments; the last parameter is the result");
    using Out = std::remove_pointer_t<hostapi_detail::LastOf<M...>>;
    hostapi_detail::OutValue<Out> out;
    V7Call(object, method, std::forward<A>(in)..., out.Address());
    return out.Take();
}
