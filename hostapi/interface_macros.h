#pragma once
// The building blocks of the host interface declarations: interface identifiers written in their
// registry form, and the unnamed positions of Velmar's version-7 function tables.
#include "core/com.h"

namespace hostapi_detail {

constexpr unsigned HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<unsigned>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<unsigned>(c - 'a' + 10);
    throw "an interface identifier holds a character that is not a hexadecimal digit";
}

constexpr unsigned long long HexField(const char* text, int first, int count)
{
    unsigned long long value = 0;
    for (int i = first; i < first + count; ++i)
        value = value * 16 + HexDigit(text[i]);
    return value;
}

// "E36BC97C-39D6-4402-9C25-C7008A217E02": the form in which Velmar's and the reference book's
// identifiers are written everywhere. A malformed text stops the compilation.
constexpr GUID GuidFromText(const char (&text)[37])
{
    if (text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        throw "an interface identifier needs the form XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX";
    GUID guid{};
    guid.Data1 = static_cast<unsigned long>(HexField(text, 0, 8));
    guid.Data2 = static_cast<unsigned short>(HexField(text, 9, 4));
    guid.Data3 = static_cast<unsigned short>(HexField(text, 14, 4));
    guid.Data4[0] = static_cast<unsigned char>(HexField(text, 19, 2));
    guid.Data4[1] = static_cast<unsigned char>(HexField(text, 21, 2));
    for (int i = 0; i < 6; ++i)
        guid.Data4[2 + i] = static_cast<unsigned char>(HexField(text, 24 + 2 * i, 2));
    return guid;
}

} // namespace hostapi_detail

#define VEL_GUID_PART_(text, part) hostapi_detail::GuidFromText(text).part

// The smart pointer type of an interface, as _COM_SMARTPTR_TYPEDEF declared it (HostPtr<I>).
template <class Interface>
struct HostPtrOf;
template <>
struct HostPtrOf<IUnknown> {
    using type = IUnknownPtr;
};
template <>
struct HostPtrOf<IDispatch> {
    using type = IDispatchPtr;
};

// Gives the interface its identifier (so that __uuidof works under g++) and declares its smart pointer
// <Interface>Ptr. Write it after the interface's declaration, at global scope.
#define VEL_IID(Interface, text)                                                                                  \
    __CRT_UUID_DECL(Interface, VEL_GUID_PART_(text, Data1), VEL_GUID_PART_(text, Data2),                          \
                    VEL_GUID_PART_(text, Data3), VEL_GUID_PART_(text, Data4[0]), VEL_GUID_PART_(text, Data4[1]),  \
                    VEL_GUID_PART_(text, Data4[2]), VEL_GUID_PART_(text, Data4[3]),                               \
                    VEL_GUID_PART_(text, Data4[4]), VEL_GUID_PART_(text, Data4[5]),                               \
                    VEL_GUID_PART_(text, Data4[6]), VEL_GUID_PART_(text, Data4[7]))                               \
    _COM_SMARTPTR_TYPEDEF(Interface, __uuidof(Interface));                                                        \
    template <>                                                                                                   \
    struct HostPtrOf<Interface> {                                                                                 \
        using type = Interface##Ptr;                                                                              \
    }

// A class identifier, for CoCreateInstance and CoRegisterClassObject.
#define VEL_CLSID(name, text) inline constexpr GUID name = hostapi_detail::GuidFromText(text)

// Positions of a version-7 function table that the library does not call. Velmar's tables have
// members there; the placeholders keep every named member after them at Velmar's position.
// VEL_SLOTS(7, 8, 9) declares Slot7, Slot8 and Slot9; the numbers are the positions they fill.
#define VEL_SLOT_(n) virtual HRESULT STDMETHODCALLTYPE Slot##n() = 0;
#define VEL_PARENS_ ()
#define VEL_EXPAND_(...) VEL_EXPAND3_(VEL_EXPAND3_(VEL_EXPAND3_(VEL_EXPAND3_(__VA_ARGS__))))
#define VEL_EXPAND3_(...) VEL_EXPAND2_(VEL_EXPAND2_(VEL_EXPAND2_(VEL_EXPAND2_(__VA_ARGS__))))
#define VEL_EXPAND2_(...) VEL_EXPAND1_(VEL_EXPAND1_(VEL_EXPAND1_(VEL_EXPAND1_(__VA_ARGS__))))
#define VEL_EXPAND1_(...) __VA_ARGS__
#define VEL_SLOTS(...) __VA_OPT__(VEL_EXPAND_(VEL_SLOTS_STEP_(__VA_ARGS__)))
#define VEL_SLOTS_STEP_(first, ...) VEL_SLOT_(first) __VA_OPT__(VEL_SLOTS_AGAIN_ VEL_PARENS_(__VA_ARGS__))
#define VEL_SLOTS_AGAIN_() VEL_SLOTS_STEP_
