#pragma once
// The library protocol: the functions Velmar calls by name (their ordinals are fixed in normset.def).
// Every one of them catches everything: no exception may cross into Velmar.
#include "core/com.h"
#include "hostapi/library_interfaces.h"

extern "C" {
void WINAPI LIBRARYENTRY(unsigned command) noexcept;                      // 1
unsigned WINAPI LIBRARYID() noexcept;                                     // 2
const wchar_t* WINAPI LIBRARYNAMEW() noexcept;                            // 3
const wchar_t* WINAPI DisplayLibraryNameW() noexcept;                     // 4
int WINAPI LibToolBarId(int type, int index) noexcept;                    // 5
int WINAPI LibraryHintTipsBeginID() noexcept;                             // 6
const wchar_t* WINAPI LIBRARYHELPFILEW() noexcept;                        // 14
int WINAPI LibraryBmpBeginID(unsigned size) noexcept;                     // 16
int WINAPI LibInterfaceNotifyEntry(IDispatch* application) noexcept;     // 17

// The hot points of the library macro the user selected (type 1), handed out with one reference as
// ILibHPObject; null for any other type and on any failure. The second argument is not read.
void WINAPI LibObjInterfaceEntry(int type, LONG_PTR unused, IUnknown** out) noexcept;  // 7

// Velmar's selection process asks whether an offered object may be picked (8) and tells a pick (9),
// with a second argument it passes through to the panel; both answer 0 without a running panel.
BOOL WINAPI SELECTFILTERPROC(IDispatch* object) noexcept;                             // 8
BOOL WINAPI SELECTCALLBACKPROC(IDispatch* object, LONG_PTR argument) noexcept;        // 9

// Velmar's pick processes of the measure tools: whether the current 3D tool takes an offered entity (1)
// or not (0), and whether the current 2D tool took the object at a cursor position (0) or not (1). Of the
// 2D callback's six arguments the second and third point to the position and the sixth is 0 for the
// click that ends the pick; the others are not used and are taken pointer-sized, which is the project's
// own reading. Both answer 0 without a current tool.
int WINAPI MEASUREFILTERPROC3D(IDispatch* object) noexcept;                                             // 10
int WINAPI MEASUREFILTERPROC2D(LONG_PTR, double* x, double* y, LONG_PTR, LONG_PTR, int moving) noexcept;  // 11
}

// Other programs in Velmar's process: silent insertion of a reference-book response into the active
// document (the macro reference, or the part or spc object; 0 or null on any failure), the reference
// book's selection for a location (the out argument unchanged when nothing was chosen), and the test
// object.
extern "C" {
int WINAPI NMInsert2D(IUnknown* provider, IUnknown* response, double x, double y, double angle) noexcept;        // 12
void WINAPI NMInsert3D(IDispatch** result, IUnknown* provider, IUnknown* response, IDispatch* placement) noexcept; // 13
void WINAPI GetITester(ITester** out) noexcept;                                                                   // 15
void WINAPI NMSelectEx(IDispatch** response, const wchar_t* location) noexcept;                                   // 18
int WINAPI NMReplace2D(IUnknown* response, double x, double y, double angle) noexcept;                           // 19
void WINAPI NMInsertSpc(IDispatch** result, IUnknown* provider, IUnknown* response, const wchar_t* presetText) noexcept; // 20
}
