#pragma once
// The one owner of the resources the library frees itself: Win32 handles, BSTRs, VARIANTs and the texts
// of an EXCEPINFO. Move-only. get() reads the value; put() frees what is held and gives the address for
// an out parameter; release() hands the value over to a new owner; reset() frees it now.
//
//   UniqueFile file(CreateFileW(...));                 // closed on every way out
//   UniqueBstr text;  V7Call(object, &I::Method, text.put());
//   UniqueExcepInfo info;  engine->Parse(..., info.put());
//
// A kind is one line: the type and its traits (the empty value and how a held value is freed).
#include "core/com.h"

#include <utility>

template <typename T, typename Traits>
class Unique {
public:
    Unique() noexcept : value_(Traits::Empty()) {}
    explicit Unique(T value) noexcept : value_(value) {}
    Unique(Unique&& other) noexcept : value_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept
    {
        if (this != &other) {
            reset();
            value_ = other.release();
        }
        return *this;
    }
    ~Unique() { reset(); }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;

    const T& get() const noexcept { return value_; }
    // For an API that completes the held value in place (an EXCEPINFO's deferred fill-in).
    T& get() noexcept { return value_; }
    T* put() noexcept
    {
        reset();
        return &value_;
    }
    T release() noexcept { return std::exchange(value_, Traits::Empty()); }
    void reset() noexcept
    {
        if (!Traits::IsEmpty(value_))
            Traits::Free(value_);
        value_ = Traits::Empty();
    }
    explicit operator bool() const noexcept { return !Traits::IsEmpty(value_); }

private:
    T value_;
};

namespace unique_detail {

// A handle-like value: empty when it equals what EmptyValue gives, freed by FreeFunction.
template <typename T, auto FreeFunction, T (*EmptyValue)() noexcept>
struct ValueTraits {
    static T Empty() noexcept { return EmptyValue(); }
    static bool IsEmpty(const T& value) noexcept { return value == EmptyValue(); }
    static void Free(T& value) noexcept { FreeFunction(value); }
};

inline HANDLE NullHandle() noexcept { return nullptr; }
inline HANDLE InvalidHandle() noexcept { return INVALID_HANDLE_VALUE; }
inline BSTR NullBstr() noexcept { return nullptr; }
inline HGDIOBJ NullGdiObject() noexcept { return nullptr; }

struct VariantTraits {
    static VARIANT Empty() noexcept
    {
        VARIANT value;
        VariantInit(&value);
        return value;
    }
    static bool IsEmpty(const VARIANT& value) noexcept { return V_VT(&value) == VT_EMPTY; }
    static void Free(VARIANT& value) noexcept { VariantClear(&value); }
};

// An EXCEPINFO owns its three texts; its numbers need no freeing.
struct ExcepInfoTraits {
    static EXCEPINFO Empty() noexcept { return EXCEPINFO{}; }
    static bool IsEmpty(const EXCEPINFO& info) noexcept
    {
        return !info.bstrSource && !info.bstrDescription && !info.bstrHelpFile && !info.scode && !info.wCode;
    }
    static void Free(EXCEPINFO& info) noexcept
    {
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
    }
};

} // namespace unique_detail

using UniqueHandle = Unique<HANDLE, unique_detail::ValueTraits<HANDLE, &CloseHandle, &unique_detail::NullHandle>>;
using UniqueFile = Unique<HANDLE, unique_detail::ValueTraits<HANDLE, &CloseHandle, &unique_detail::InvalidHandle>>;
using UniqueBstr = Unique<BSTR, unique_detail::ValueTraits<BSTR, &SysFreeString, &unique_detail::NullBstr>>;
using UniqueGdiObject = Unique<HGDIOBJ, unique_detail::ValueTraits<HGDIOBJ, &DeleteObject, &unique_detail::NullGdiObject>>;
using UniqueVariant = Unique<VARIANT, unique_detail::VariantTraits>;
using UniqueExcepInfo = Unique<EXCEPINFO, unique_detail::ExcepInfoTraits>;
