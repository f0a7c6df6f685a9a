#pragma once
// The maker's utility objects that part scripts receive as named items. Created with class context 0x17,
// started with OleRun and queried for their interface; positions count IUnknown and IDispatch as 0 to 6.
#include "hostapi/interface_macros.h"

VEL_CLSID(CLSID_RAZadi, "EC6C4655-ADE0-407B-9800-996C581A0E55");
VEL_CLSID(CLSID_ItemList, "6A12A275-C506-4BC4-8E34-D7695A9A066E");

// Collects the text a part script writes; the library appends it to the trace after the run.
struct IRAZadi : IDispatch {
    // What part scripts call to write a line; the script name "Append" and the number are the project's
    // own (the library itself only reads the text).
    enum : DISPID { ScriptAppend = 1 };
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25)
    virtual HRESULT STDMETHODCALLTYPE get_Text(BSTR* text) = 0;                               // 26
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;                                            // 27
};
VEL_IID(IRAZadi, "2FF5758C-9728-4305-B4F1-D9D712E89A36");

// A list of objects handed to and filled by a part script. Positions 7 and 9 are the project's own
// numbers: the host documents only that Add is the second method after those of IDispatch.
struct IItemList : IDispatch {
    // What part scripts call by name; the names and numbers are the project's own.
    enum : DISPID { ScriptCount = 1, ScriptAdd = 2, ScriptItem = 3 };
    virtual HRESULT STDMETHODCALLTYPE get_Count(long* count) = 0;                             // 7
    virtual HRESULT STDMETHODCALLTYPE Add(IDispatch* item) = 0;                               // 8; item may be null
    virtual HRESULT STDMETHODCALLTYPE Item(long index, IDispatch** item) = 0;                 // 9
};
VEL_IID(IItemList, "98392AF3-DFC8-416C-9780-12D62C6A5348");
