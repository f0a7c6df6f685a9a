#pragma once
// The Normset reference book: the provider class, its interfaces and the response objects. The
// interfaces derive from IDispatch and are called through their function table; positions count the
// IUnknown and IDispatch methods as 0 to 6.
#include "hostapi/interface_macros.h"

VEL_CLSID(CLSID_BOSimpleProvider, "02538BE1-9E57-4BB8-B9FC-B6D4DF83120C");

// A selection's response; also the argument of the silent insertion exports.
struct INMResponse : IDispatch {
    VEL_SLOTS(7)
    virtual HRESULT STDMETHODCALLTYPE get_Xml(BSTR* text) = 0;                                // 8
};
VEL_IID(INMResponse, "97AF12CB-8FF5-4DAF-94D0-2D9A65F64DE3");

struct INMClient : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26)
    // The text comes in as an empty string and goes back filled; error non-zero: the connection was refused.
    virtual HRESULT STDMETHODCALLTYPE Connect(BSTR* text, long* error) = 0;                   // 27
    virtual HRESULT STDMETHODCALLTYPE Disconnect(VARIANT* unused) = 0;                        // 28
    // extra: null for a specification document, else the library's module path.
    virtual HRESULT STDMETHODCALLTYPE SetInstrumentOptions(BSTR instrument, BSTR hostVersion, BSTR documentId,
                                                           BSTR containerId, BSTR extra, long mask) = 0;  // 29
    // The user's choice; a null response means nothing was chosen. Command, params and location are in
    // and out: the reference book may send them back changed.
    virtual HRESULT STDMETHODCALLTYPE Select(long* command, BSTR* params, BSTR* location, long ownerWindow,
                                             INMResponse** response) = 0;                     // 30
    // The response of a part already placed: its NM_ID and the caller's context name.
    virtual HRESULT STDMETHODCALLTYPE PlacedResponse(BSTR id, BSTR context, INMResponse** response) = 0;  // 31
    VEL_SLOTS(32, 33)
    virtual HRESULT STDMETHODCALLTYPE AttributeText(BSTR* text) = 0;                          // 34
    VEL_SLOTS(35, 36)
    // A parameter drag of a 2D hot point: "n1=v1|n2=v2…", context, NM_ID; the new response's XML text.
    virtual HRESULT STDMETHODCALLTYPE DragParameters(BSTR assignments, BSTR context, BSTR id, VARIANT* result) = 0;  // 37
    // The hot-point definitions of a part key.
    virtual HRESULT STDMETHODCALLTYPE HotPoints(BSTR partKey, VARIANT* result) = 0;           // 38
    // A text of the reference book for an NM_ID: the members of a fastener set, one NM_ID per line.
    virtual HRESULT STDMETHODCALLTYPE ClientString(BSTR id, BSTR* text) = 0;                  // 39
};
VEL_IID(INMClient, "88A0BF34-9F81-4BAA-87A4-E3E378333658");

// A further interface of the provider: object information for specification-only parts.
struct INMObjectInfo : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11)
    // The object's description (INMObjectResponse) or null; the third argument is always null.
    virtual HRESULT STDMETHODCALLTYPE ObjectResponse(BSTR classId, BSTR objectId, IUnknown* reserved,
                                                     IUnknown** response) = 0;                // 12
    VEL_SLOTS(13, 14)
    // Class id and object id of a Quarvend identifier ("ID Normset").
    virtual HRESULT STDMETHODCALLTYPE GetObjectInfo(BSTR id, BSTR* classId, BSTR* objectId) = 0;  // 15
};
VEL_IID(INMObjectInfo, "B57C3F55-8C78-437F-AEFD-911FC1A3617A");

// The object description INMObjectInfo::ObjectResponse gives.
struct INMObjectResponse : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Xml(BSTR* text) = 0;                                // 7; the object's XML text
};
VEL_IID(INMObjectResponse, "16D42597-F51E-46F8-A9D1-98D040DA5ED3");

// A second object-data interface a caller's response may have, with the same member. It is queried for,
// never assumed.
struct INMObjectData : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Xml(BSTR* text) = 0;                                // 7
};
VEL_IID(INMObjectData, "85299E3F-6D6B-430B-9CBE-72F28E128D0E");
