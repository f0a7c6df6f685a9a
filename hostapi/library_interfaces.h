#pragma once
// Interfaces the library implements and Velmar or a test program calls. They derive from IUnknown:
// positions count the three IUnknown methods as 0 to 2.
#include "hostapi/interface_macros.h"

#include <cstddef>

struct INMResponse;

// The two faces of a 2D library macro's hot points, which Velmar asks for through the export
// LibObjInterfaceEntry and calls on its user-interface thread. Every member answers a 32-bit number;
// what the members answering a constant stand for is Velmar's. None of the argument forms can be checked
// against Velmar here: on x64 every integer or pointer argument takes one register, and a record over
// 8 bytes travels as a pointer to a copy, so a point of two doubles is declared as a pointer.

// The point record GetPoint fills, laid out as Velmar reads it (packed, 36 bytes).
#pragma pack(push, 1)
struct LibHPPoint {
    double x;                            // byte 0
    double y;                            // byte 8
    unsigned char untouched[8];          // bytes 16 to 23: Velmar's; the library leaves them as they are
    long cursor;                         // byte 24: the cursor resource of the library's module
    unsigned long long module;           // byte 28: the library's module instance handle
};
#pragma pack(pop)
static_assert(sizeof(LibHPPoint) == 36 && offsetof(LibHPPoint, cursor) == 24 && offsetof(LibHPPoint, module) == 28,
              "Velmar reads the point record packed");

// Where MovePoint takes the point to: x and y in the macro's own coordinates.
struct LibHPMove {
    double x;
    double y;
};

struct ILibHPObject : IUnknown {
    virtual long STDMETHODCALLTYPE Ready() = 0;                                               // 3: 1
    // Ends a drag: commit non-zero accepts, 0 cancels; the first argument is not read. 1.
    virtual long STDMETHODCALLTYPE Refresh(LONG_PTR unused, long commit) = 0;                 // 4
    virtual long STDMETHODCALLTYPE GetPoint(LibHPPoint* point, long index) = 0;               // 5: 1 or 0
    virtual long STDMETHODCALLTYPE MovePoint(const LibHPMove* point, long index) = 0;         // 6
    virtual long STDMETHODCALLTYPE Reserved7() = 0;                                           // 7: 0
    virtual long STDMETHODCALLTYPE Reserved8() = 0;                                           // 8: 0
    virtual long STDMETHODCALLTYPE Reserved9() = 0;                                           // 9: 0
};
VEL_IID(ILibHPObject, "234EBFE0-477B-11D4-A840-00504E05BD01");

struct ILibHPObject1 : IUnknown {
    // A wide text that stays valid until the next GetName. 1 or 0.
    virtual long STDMETHODCALLTYPE GetName(const wchar_t** name, long index) = 0;             // 3
    virtual BSTR STDMETHODCALLTYPE GetValueText(long index) = 0;                              // 4: the caller frees it
    virtual long STDMETHODCALLTYPE Reserved5() = 0;                                           // 5: 0
    virtual long STDMETHODCALLTYPE Reserved6() = 0;                                           // 6: 0
    virtual long STDMETHODCALLTYPE BeginDrag(long index) = 0;                                 // 7: 1
    virtual long STDMETHODCALLTYPE EndDrag() = 0;                                             // 8: 1
};
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
