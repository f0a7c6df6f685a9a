#pragma once
// The arguments of a version-5 call as a stand-in reads them from DISPPARAMS: its own reading of
// rgvarg (argument i of the host's documentation is rgvarg[cArgs - 1 - i]), independent of the
// library's helper, so that an argument-order fault is caught rather than mirrored.
//
// By-value arguments are coerced to the type asked for, as Velmar's typed dispatch does; a by-reference
// argument must have exactly the documented type (or be a VARIANT by reference, as scripts pass them),
// else the call fails with DISP_E_TYPEMISMATCH.
#include "core/com.h"

#include <string>

namespace sim {

// Thrown by a handler to make the call fail with an HRESULT; argument: the index of a bad argument.
struct Fail {
    HRESULT hr;
    int argument = -1;
};

class Args {
public:
    Args(DISPPARAMS* params, bool put);

    unsigned Count() const { return count_; }
    const VARIANT& At(unsigned i) const;       // argument i, first-first (a VARIANT by reference is followed)
    const VARIANT& Raw(unsigned i) const;      // argument i as passed
    const VARIANT& Value() const;              // the new value of a property put

    long Int32(unsigned i) const;
    short Int16(unsigned i) const;
    bool Bool(unsigned i) const;
    double Double(unsigned i) const;
    std::wstring Text(unsigned i) const;
    IDispatchPtr Object(unsigned i) const;      // VT_DISPATCH or VT_UNKNOWN queried to IDispatch; null when empty
    IUnknownPtr Unknown(unsigned i) const;      // identity

    // Fill a by-reference argument.
    void SetInt32(unsigned i, long value);
    void SetInt16(unsigned i, short value);
    void SetBool(unsigned i, bool value);
    void SetDouble(unsigned i, double value);
    void SetText(unsigned i, const std::wstring& value);
    void SetObject(unsigned i, IDispatch* value);
    void SetVariant(unsigned i, const VARIANT& value);

private:
    _variant_t Coerced(unsigned i, VARTYPE type) const;
    void* Target(unsigned i, VARTYPE type);   // the by-reference target of that exact type, or of a VARIANT

    DISPPARAMS* params_;
    unsigned count_;
    bool put_;
};

} // namespace sim
