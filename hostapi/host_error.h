#pragma once
// The one way a failed host call becomes an exception: _com_error with the call's HRESULT and error
// information whose GUID is the IID of the interface that was called.
#include "core/com.h"

// The object's own error information when it offers it for that interface, else a record of the IID.
[[noreturn]] void RaiseHostError(HRESULT hr, IUnknown* object, REFIID iid);

// A dispatch call that reported DISP_E_EXCEPTION: the host's code (scode) and description. The texts
// stay with the caller's owner of the EXCEPINFO (they are copied into the error information).
[[noreturn]] void RaiseDispatchException(EXCEPINFO& info, REFIID iid);

// A call or query through an empty interface pointer.
[[noreturn]] inline void RaiseNullHostPointer(REFIID iid)
{
    RaiseHostError(E_POINTER, nullptr, iid);
}
