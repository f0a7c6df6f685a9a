#pragma once
// The version-7 faces of a stand-in object. A face is a function table built at run time: positions 0
// to 6 lead to the object's IUnknown and IDispatch, every other position to a thunk that journals the
// call as unexpected and answers E_NOTIMPL, until the model gives it a handler:
//
//   doc7->Face<IVel7Document>().On<&IVel7Document::get_Kind>(11, [&](long* kind) { *kind = type; });
//   doc7->Face<IVel7Document3D>().Get<&IVel7Document3D::get_UndoEnabled>(68);   // answers value 68
//   doc7->Face<IVel7Document3D>().Set<&IVel7Document3D::put_UndoContainerMode>(67);  // stores value 67
//
// The handler is put at the position the stand-in states, which is the position Velmar has. The
// contract's declaration must put the method there too: registration compares the two and throws
// std::logic_error when they differ, so a missing or surplus placeholder in the contract cannot go
// unnoticed. A handler may return void (S_OK) or an HRESULT, or throw sim::Fail.
// Include sim/sim_object.h, which brings this header in after the object it belongs to.
#include "sim/journal.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <vector>

namespace sim {

class VtableFace {
public:
    static constexpr int kSlots = 128;

    VtableFace(Object& owner, const IID& iid, std::string iface, bool errorInfoFace = false);
    VtableFace(const VtableFace&) = delete;
    VtableFace& operator=(const VtableFace&) = delete;

    IUnknown* Pointer() { return reinterpret_cast<IUnknown*>(&head); }

    FaceHead head;
    Object& owner;
    IID iid;
    std::string iface;
    void* table[kSlots];
    std::shared_ptr<void> handlers[kSlots];
};

// The position of a virtual method in its function table, as the compiler laid the table out (the
// Itanium C++ ABI of g++: a pointer to a virtual member holds 1 + the byte offset of its entry).
template <class M>
int VtableIndexOf(M method)
{
    struct Raw {
        std::uintptr_t pointer;
        std::ptrdiff_t adjustment;
    };
    static_assert(sizeof(M) == sizeof(Raw));
    Raw raw;
    std::memcpy(&raw, &method, sizeof raw);
    if ((raw.pointer & 1) == 0)
        return -1;
    return static_cast<int>((raw.pointer - 1) / sizeof(void*));
}

inline std::string RenderArg(long value) { return std::to_string(value); }
inline std::string RenderArg(unsigned long value) { return std::to_string(value); }
inline std::string RenderArg(int value) { return std::to_string(value); }
inline std::string RenderArg(short value) { return std::to_string(value); }
inline std::string RenderArg(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}
inline std::string RenderArg(const VARIANT& value) { return RenderVariant(value); }
template <class T>
std::string RenderArg(T* pointer)
{
    if constexpr (std::is_same_v<T, wchar_t>)
        return RenderText(pointer);   // a BSTR in-argument
    else if constexpr (std::is_base_of_v<IUnknown, T>)
        return RenderObject(pointer);
    else
        return "&";                   // an out or in/out argument
}

template <auto Method>
struct SlotThunk;

template <class C, class... A, HRESULT (STDMETHODCALLTYPE C::*Method)(A...)>
struct SlotThunk<Method> {
    using Handler = std::function<HRESULT(A...)>;

    static HRESULT STDMETHODCALLTYPE Call(FaceHead* head, A... args)
    {
        static const int position = VtableIndexOf(Method);
        VtableFace& face = *head->face;
        return face.owner.RunSlot(face, position, {RenderArg(args)...}, [&]() -> HRESULT {
            auto* handler = static_cast<Handler*>(face.handlers[position].get());
            return (*handler)(args...);
        });
    }
};

// How a stored value crosses a version-7 parameter of type T.
template <class T>
struct SlotValue {
    static _variant_t In(T value) { return _variant_t(value); }
    static void Out(const _variant_t& stored, T* out, VARTYPE type)
    {
        _variant_t converted;
        if (V_VT(&stored) == VT_EMPTY)
            *out = T{};
        else if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(static_cast<const VARIANT*>(&stored)), 0, type)))
            *out = static_cast<T>(converted);
        else
            throw Fail{DISP_E_TYPEMISMATCH};
    }
};

template <class I>
class FaceOf {
public:
    explicit FaceOf(VtableFace& face) : face_(&face) {}

    I* Pointer() const { return reinterpret_cast<I*>(face_->Pointer()); }

    template <auto Method, class F>
    FaceOf& On(int position, F&& handler)
    {
        Install<Method>(position, std::forward<F>(handler));
        return *this;
    }

    // A getter answering the stored value `key` (by default its own position).
    template <auto Method>
    FaceOf& Get(int position, int key = -1)
    {
        using Out = std::remove_pointer_t<typename Signature<Method>::Last>;
        Object& owner = face_->owner;
        const int store = key < 0 ? position : key;
        Install<Method>(position, [&owner, store](Out* out) -> HRESULT {
            const _variant_t& stored = owner.Value(store);
            if constexpr (std::is_same_v<Out, BSTR>) {
                *out = V_VT(&stored) == VT_EMPTY ? nullptr : _bstr_t(stored).copy();
            } else if constexpr (std::is_same_v<Out, IDispatch*>) {
                *out = nullptr;
                if (V_VT(&stored) == VT_DISPATCH && V_DISPATCH(&stored))
                    (*out = V_DISPATCH(&stored))->AddRef();
            } else if constexpr (std::is_same_v<Out, VARIANT>) {
                VariantInit(out);
                VariantCopy(out, const_cast<VARIANT*>(static_cast<const VARIANT*>(&stored)));
            } else if constexpr (std::is_same_v<Out, double>) {
                SlotValue<double>::Out(stored, out, VT_R8);
            } else if constexpr (std::is_same_v<Out, short>) {
                SlotValue<short>::Out(stored, out, VT_I2);
            } else {
                static_assert(std::is_same_v<Out, long>, "a stored value is answered as long, short, double, BSTR, IDispatch* or VARIANT");
                SlotValue<long>::Out(stored, out, VT_I4);
            }
            return S_OK;
        });
        return *this;
    }

    // A setter storing its argument as the value `key` (by default its own position).
    template <auto Method>
    FaceOf& Set(int position, int key = -1)
    {
        using In = typename Signature<Method>::Last;
        Object& owner = face_->owner;
        const int store = key < 0 ? position : key;
        Install<Method>(position, [&owner, store](In value) -> HRESULT {
            if constexpr (std::is_same_v<In, short>)
                owner.Store(store, _variant_t(value, VT_I2));
            else
                owner.Store(store, _variant_t(value));
            return S_OK;
        });
        return *this;
    }

private:
    template <auto Method>
    struct Signature;
    template <class C, class... A, HRESULT (STDMETHODCALLTYPE C::*M)(A...)>
    struct Signature<M> {
        using Class = C;
        using Last = std::tuple_element_t<sizeof...(A), std::tuple<void, A...>>;   // void without parameters
    };

    template <auto Method, class F>
    void Install(int position, F&& handler)
    {
        using Thunk = SlotThunk<Method>;
        static_assert(std::is_base_of_v<typename Signature<Method>::Class, I>, "the method belongs to another interface");
        const int declared = VtableIndexOf(Method);
        if (declared != position || position < 7 || position >= VtableFace::kSlots)
            throw std::logic_error("stand-in " + face_->owner.Name() + ": a method of " + face_->iface +
                                   " is at position " + std::to_string(declared) + " in the contract, but Velmar has it at " +
                                   std::to_string(position));
        face_->table[position] = reinterpret_cast<void*>(&Thunk::Call);
        face_->handlers[position] = std::make_shared<typename Thunk::Handler>(Wrap<typename Thunk::Handler>(std::forward<F>(handler)));
    }

    template <class H, class F>
    static H Wrap(F&& handler)
    {
        return WrapAs(static_cast<H*>(nullptr), std::forward<F>(handler));
    }
    template <class... A, class F>
    static std::function<HRESULT(A...)> WrapAs(std::function<HRESULT(A...)>*, F&& handler)
    {
        return [handler = std::forward<F>(handler)](A... args) mutable -> HRESULT {
            if constexpr (std::is_void_v<std::invoke_result_t<F&, A...>>) {
                handler(args...);
                return S_OK;
            } else {
                return handler(args...);
            }
        };
    }

    VtableFace* face_;
};

} // namespace sim
