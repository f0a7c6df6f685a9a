#pragma once
// Interfaces the library implements and Velmar or a test program calls. They derive from IUnknown:
// positions count the three IUnknown methods as 0 to 2.
#include "hostapi/interface_macros.h"

struct INMResponse;

// The two faces of a 2D library macro's hot points; their members are declared with the hot points.
struct ILibHPObject : IUnknown {};
VEL_IID(ILibHPObject, "234EBFE0-477B-11D4-A840-00504E05BD01");
struct ILibHPObject1 : IUnknown {};
VEL_IID(ILibHPObject1, "C8632527-F69F-4E22-9414-5F6433C33D07");

// The test interface handed out by the export GetITester.
struct ITester : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CloseActiveDocument(BSTR* error) = 0;                   // 3
    virtual HRESULT STDMETHODCALLTYPE CreateNewDocument(unsigned long type, BSTR* error) = 0; // 4
    virtual HRESULT STDMETHODCALLTYPE GetApplication(IDispatch** application) = 0;            // 5
    virtual HRESULT STDMETHODCALLTYPE InsertTest(INMResponse* response, IDispatch** inserted, long* code,
                                                 BSTR* error) = 0;                            // 6
    virtual HRESULT STDMETHODCALLTYPE FastInsertTest(INMResponse* response, IDispatch** inserted, long* code,
                                                     BSTR* error) = 0;                        // 7
};
VEL_IID(ITester, "255F18AD-2A7C-4D49-A13A-83965E2C29BE");
