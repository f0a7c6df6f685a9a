#pragma once
// Velmar's version-7 interfaces: dual interfaces the library calls through their function table
// (hostapi/vtable_call.h). Positions count the three IUnknown and four IDispatch methods, so the first
// method of an interface's own is position 7. Every named method sits at Velmar's position; positions the
// library does not call are filled with VEL_SLOTS placeholders, whose names carry their position.
//
// Conventions of the signatures: every method returns an HRESULT; objects come back as IDispatch**
// (the caller queries them to what it needs); booleans are VARIANT_BOOL; an out value whose type Velmar
// does not document is a VARIANT*, which is large enough for whatever the host writes.
// Interfaces the library only queries for have no members yet; a task that calls a member adds it here.
#include "hostapi/interface_macros.h"

struct IVel7Application : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12)
    virtual HRESULT STDMETHODCALLTYPE get_Documents(IDispatch** documents) = 0;               // 13
    VEL_SLOTS(14)
    virtual HRESULT STDMETHODCALLTYPE get_PropertyManager(IDispatch** manager) = 0;           // 15 (IVel7PropertyManager)
    // (-1, 0) ends the running placement process of a 2D document, as cancelled.
    virtual HRESULT STDMETHODCALLTYPE EndProcess(long first, long second) = 0;                // 16
    VEL_SLOTS(17, 18)
    virtual HRESULT STDMETHODCALLTYPE get_ActiveDocument(IDispatch** document) = 0;           // 19; null when none
    VEL_SLOTS(20)
    // The host's last error for a text: a result object (IVel7TesterResult).
    virtual HRESULT STDMETHODCALLTYPE LastError(BSTR* text, IDispatch** result) = 0;          // 21
    VEL_SLOTS(22, 23, 24)
    // Switched on for the time of an element's edit, replacement or repositioning.
    virtual HRESULT STDMETHODCALLTYPE put_EditSwitch(VARIANT_BOOL on) = 0;                    // 25
    VEL_SLOTS(26, 27, 28, 29, 30, 31, 32, 33)
    // Velmar's own message box (flags as MessageBox's); the button pressed.
    virtual HRESULT STDMETHODCALLTYPE ShowMessage(BSTR text, BSTR caption, long flags, long* button) = 0;  // 34
};
VEL_IID(IVel7Application, "6A2EFAF7-8254-45A5-9DC8-2213F16AF5D7");

// The result object of IVel7Application::LastError.
struct IVel7TesterResult : IDispatch {
    VEL_SLOTS(7, 8, 9, 10)
    virtual HRESULT STDMETHODCALLTYPE get_Code(long* code) = 0;                               // 11
    virtual HRESULT STDMETHODCALLTYPE get_Text(BSTR* text) = 0;                               // 12
};
VEL_IID(IVel7TesterResult, "0A8B4CD1-7158-4CE6-96E0-885376F5DE1B");

struct IVel7Documents : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13)
    virtual HRESULT STDMETHODCALLTYPE Add(long type, long flags, IDispatch** document) = 0;   // 14; null on failure
};
VEL_IID(IVel7Documents, "8BF39F08-5537-4910-84CE-B338E55F7BCF");

// Every document. Kinds: 1, 2 drawings and fragments; 3 specification; 4 part; 5, 7 assemblies.
struct IVel7Document : IDispatch {
    VEL_SLOTS(7, 8, 9, 10)
    virtual HRESULT STDMETHODCALLTYPE get_Kind(long* kind) = 0;                               // 11
    VEL_SLOTS(12)
    virtual HRESULT STDMETHODCALLTYPE Close(long mode, VARIANT_BOOL* closed) = 0;             // 13
    VEL_SLOTS(14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25)
    virtual HRESULT STDMETHODCALLTYPE get_SpcDescriptions(IDispatch** descriptions) = 0;      // 26
    VEL_SLOTS(27)
    virtual HRESULT STDMETHODCALLTYPE get_DataStore(IDispatch** store) = 0;                   // 28
};
VEL_IID(IVel7Document, "5C6E318D-BD6E-4AFA-8A13-977EAA0845EF");

struct IVel7Document3D : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12)
    // 0 (false) closes a model document opened for processing without saving it.
    virtual HRESULT STDMETHODCALLTYPE Close(long mode, VARIANT_BOOL* closed) = 0;             // 13
    VEL_SLOTS(14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28)
    virtual HRESULT STDMETHODCALLTYPE get_PatternOwner(IDispatch** owner) = 0;                // 29
    VEL_SLOTS(30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51)
    virtual HRESULT STDMETHODCALLTYPE put_EditSwitch(VARIANT_BOOL on) = 0;                    // 52
    VEL_SLOTS(53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66)
    virtual HRESULT STDMETHODCALLTYPE put_UndoContainerMode(VARIANT_BOOL on) = 0;             // 67
    virtual HRESULT STDMETHODCALLTYPE get_UndoEnabled(VARIANT_BOOL* enabled) = 0;             // 68
    virtual HRESULT STDMETHODCALLTYPE put_UndoDisabledMode(VARIANT_BOOL on) = 0;              // 69
    // True while an undo container is open. Velmar answers for containers opened by anyone: the
    // library's own switch (67) does not make it true.
    virtual HRESULT STDMETHODCALLTYPE get_UndoContainerOpen(VARIANT_BOOL* open) = 0;          // 70
    VEL_SLOTS(71, 72)
    virtual HRESULT STDMETHODCALLTYPE put_RecalcDimensions(VARIANT_BOOL on) = 0;              // 73
    virtual HRESULT STDMETHODCALLTYPE get_RecalcDimensions(VARIANT_BOOL* on) = 0;             // 74
    // The document's position leaders (IVel7Leaders). Velmar documents no position: the project's own.
    virtual HRESULT STDMETHODCALLTYPE get_Leaders(IDispatch** leaders) = 0;                   // 75 (own)
};
VEL_IID(IVel7Document3D, "7B60E769-06C3-4FDC-9677-7B5EF5180308");

// The library only queries for it.
struct IVel7Document2D : IDispatch {};
VEL_IID(IVel7Document2D, "096E62B3-7184-4998-9925-74BB710D8D8E");

// The items of a 3D document (what an item stands for is Velmar's); each has its own bill of materials.
struct IVel7Items : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13, 14)
    virtual HRESULT STDMETHODCALLTYPE get_Count(long* count) = 0;                             // 15
    virtual HRESULT STDMETHODCALLTYPE get_Item(long index, IDispatch** item) = 0;             // 16 (IVel7Item)
    VEL_SLOTS(17)
    virtual HRESULT STDMETHODCALLTYPE get_Current(IDispatch** item) = 0;                      // 18 (IVel7Item)
};
VEL_IID(IVel7Items, "C1948CE8-0933-4D75-9446-3E143928D045");

struct IVel7Item : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21)
    virtual HRESULT STDMETHODCALLTYPE put_Current(VARIANT_BOOL on) = 0;                       // 22
};
VEL_IID(IVel7Item, "83DBB66A-83B8-47D9-93FE-2A90992193E8");

struct IVel7PatternOwner : IDispatch {
    VEL_SLOTS(7, 8, 9, 10)
    virtual HRESULT STDMETHODCALLTYPE get_Patterns(IDispatch** patterns) = 0;                 // 11 (IVel7Patterns)
};
VEL_IID(IVel7PatternOwner, "2C6E8A0F-EDC8-413C-9304-9278817B915B");

// The document's patterns. Handed out as plain IDispatch without an IID of its own: the IID below is
// the project's own and only names the interface (hostapi/dual_interface.h). The arrays of a part that
// hold an element are found here too, by their source lists: Velmar documents no walk of a part's own
// arrays.
struct IVel7Patterns : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11)
    virtual HRESULT STDMETHODCALLTYPE get_Count(long* count) = 0;                             // 12
    VEL_SLOTS(13)
    // The index travels as a variant holding a 32-bit integer, counted from 0.
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IDispatch** pattern) = 0;       // 14
};
VEL_IID(IVel7Patterns, "3D9C41A7-6B2E-4F05-8E1A-57C0B9D2E614");

// The version-7 form of an entity that holds a list of objects; a pattern with its source list.
struct IVel7Pattern : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19)
    virtual HRESULT STDMETHODCALLTYPE put_Sources(VARIANT sources) = 0;                       // 20
    virtual HRESULT STDMETHODCALLTYPE get_Sources(VARIANT* sources) = 0;                      // 21; array of objects
    VEL_SLOTS(22, 23, 24)
    // Whether the object is in the source list.
    virtual HRESULT STDMETHODCALLTYPE IsSource(IDispatch* object, VARIANT_BOOL* contains) = 0;   // 25
    VEL_SLOTS(26, 27, 28, 29, 30, 31, 32, 33, 34)
    // The instance (IVel7ModelObjectParam) at two indices, each counted from 1 up to its range.
    virtual HRESULT STDMETHODCALLTYPE get_Instance(long first, long second, IDispatch** instance) = 0;  // 35
    // The two ranges of the instances.
    virtual HRESULT STDMETHODCALLTYPE GetInstanceRanges(long* first, long* second) = 0;        // 36
};
VEL_IID(IVel7Pattern, "C020E994-FB7F-449A-A3D9-2181135F4200");

// A version-7 model object; the update interface of parts, frames and auxiliary lines.
struct IVel7ModelObject : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12)
    // A property pair of leaders that a copy carries over (14 read, 13 written); its meaning is Velmar's.
    virtual HRESULT STDMETHODCALLTYPE put_Property13(VARIANT value) = 0;                      // 13
    virtual HRESULT STDMETHODCALLTYPE get_Property14(VARIANT* value) = 0;                     // 14
    virtual HRESULT STDMETHODCALLTYPE Update(VARIANT_BOOL* done) = 0;                         // 15
    VEL_SLOTS(16)
    // Of a leader's anchor: the object the anchor is attached to (a part or one of its faces).
    virtual HRESULT STDMETHODCALLTYPE get_AnchoredObject(IDispatch** object) = 0;             // 17
    virtual HRESULT STDMETHODCALLTYPE get_Type(long* type) = 0;                               // 18
    virtual HRESULT STDMETHODCALLTYPE get_Parameters(IDispatch** parameters) = 0;             // 19 (IVel7ModelObjectParam)
};
VEL_IID(IVel7ModelObject, "E37256D4-9021-47AC-8FAF-3713FB2A50C3");

// The parameter object of a model object; a pattern instance.
struct IVel7ModelObjectParam : IDispatch {
    VEL_SLOTS(7, 8)
    virtual HRESULT STDMETHODCALLTYPE get_Source(IDispatch** source) = 0;                     // 9; null when none
    VEL_SLOTS(10)
    // A pattern keeps it on while it follows its sources; it is switched off while the list is rewritten.
    virtual HRESULT STDMETHODCALLTYPE put_Switch(VARIANT_BOOL on) = 0;                        // 11
    virtual HRESULT STDMETHODCALLTYPE get_Switch(VARIANT_BOOL* on) = 0;                       // 12
    VEL_SLOTS(13)
    virtual HRESULT STDMETHODCALLTYPE get_SourceType(long* type) = 0;                         // 14
    // Of a leader: takes the leader out of the document once a copy has taken its place.
    virtual HRESULT STDMETHODCALLTYPE Remove(VARIANT_BOOL* done) = 0;                         // 15
};
VEL_IID(IVel7ModelObjectParam, "EF4343FA-985D-4FE9-AD5F-439BC8F92958");

// The position leaders of a 3D document. Count and item are the project's own positions, as for the
// other collections Velmar documents only by their creation.
struct IVel7Leaders : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11)
    virtual HRESULT STDMETHODCALLTYPE get_Count(long* count) = 0;                             // 12 (own)
    // The leader at an index counted from 0.
    virtual HRESULT STDMETHODCALLTYPE get_Item(long index, IDispatch** leader) = 0;           // 13 (own)
    VEL_SLOTS(14)
    // A new leader of a kind code (86, 87, 89, 90) without anchors.
    virtual HRESULT STDMETHODCALLTYPE Add(long code, IDispatch** leader) = 0;                 // 15
};
VEL_IID(IVel7Leaders, "C6E6BDD4-2B0E-49BF-87D3-04E800200DDC");

// What every position leader has. The plane code (20) names the plane the leader's point lies in: 1 the
// x/y plane, 2 x/z, 3 y/z. The pairs 22/23 and 26/27 are Velmar's; the library copies them.
struct IVel7Leader : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19)
    virtual HRESULT STDMETHODCALLTYPE get_PlaneCode(long* code) = 0;                          // 20
    virtual HRESULT STDMETHODCALLTYPE put_PlaneCode(long code) = 0;                           // 21
    virtual HRESULT STDMETHODCALLTYPE get_Property22(VARIANT* value) = 0;                     // 22
    virtual HRESULT STDMETHODCALLTYPE put_Property23(VARIANT value) = 0;                      // 23
    // The leader's own point (where its text sits).
    virtual HRESULT STDMETHODCALLTYPE GetPoint(double* x, double* y, double* z) = 0;          // 24
    virtual HRESULT STDMETHODCALLTYPE SetPoint(double x, double y, double z) = 0;             // 25
    virtual HRESULT STDMETHODCALLTYPE get_Property26(VARIANT* value) = 0;                     // 26
    virtual HRESULT STDMETHODCALLTYPE put_Property27(VARIANT value) = 0;                      // 27
};
VEL_IID(IVel7Leader, "7170F38E-8230-4C9C-B36B-0BACBB27B123");

// The anchors (branches) of a leader, each ending on a model object.
struct IVel7LeaderAnchors : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Count(long* count) = 0;                             // 7
    VEL_SLOTS(8, 9)
    virtual HRESULT STDMETHODCALLTYPE GetPoint(long index, double* x, double* y, double* z, VARIANT_BOOL* done) = 0;  // 10
    virtual HRESULT STDMETHODCALLTYPE MovePoint(long index, double x, double y, double z, VARIANT_BOOL* done) = 0;    // 11
    VEL_SLOTS(12, 13, 14, 15)
    // A new anchor at a point of a face (the face's version-7 object).
    virtual HRESULT STDMETHODCALLTYPE Add(double x, double y, double z, IDispatch* face, VARIANT_BOOL* done) = 0;    // 16
    VEL_SLOTS(17)
    // The anchor at an index counted from 0; its IVel7ModelObject gives what it is attached to.
    virtual HRESULT STDMETHODCALLTYPE get_Item(long index, IDispatch** anchor) = 0;           // 18
};
VEL_IID(IVel7LeaderAnchors, "AFE08AEC-F751-42D9-A6F5-3C004E4D41A6");

// The four kinds of 3D position leader, named by their IIDs. Each carries its own properties (a getter
// and the setter after it, whose meanings are Velmar's) and text objects (IVel7LeaderText); the library
// copies them from an old leader to its successor.
struct IVel7LeaderA741 : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Property7(VARIANT* value) = 0;                      // 7
    virtual HRESULT STDMETHODCALLTYPE put_Property8(VARIANT value) = 0;                       // 8
    virtual HRESULT STDMETHODCALLTYPE get_Property9(VARIANT* value) = 0;                      // 9
    virtual HRESULT STDMETHODCALLTYPE put_Property10(VARIANT value) = 0;                      // 10
    virtual HRESULT STDMETHODCALLTYPE get_Property11(VARIANT* value) = 0;                     // 11
    virtual HRESULT STDMETHODCALLTYPE put_Property12(VARIANT value) = 0;                      // 12
    virtual HRESULT STDMETHODCALLTYPE get_Text13(IDispatch** text) = 0;                       // 13
    virtual HRESULT STDMETHODCALLTYPE get_Text14(IDispatch** text) = 0;                       // 14
    virtual HRESULT STDMETHODCALLTYPE get_Text15(IDispatch** text) = 0;                       // 15
    virtual HRESULT STDMETHODCALLTYPE get_Text16(IDispatch** text) = 0;                       // 16
    virtual HRESULT STDMETHODCALLTYPE get_Text17(IDispatch** text) = 0;                       // 17
    VEL_SLOTS(18, 19)
    virtual HRESULT STDMETHODCALLTYPE get_Property20(VARIANT* value) = 0;                     // 20
    virtual HRESULT STDMETHODCALLTYPE put_Property21(VARIANT value) = 0;                      // 21
};
VEL_IID(IVel7LeaderA741, "A7419920-06B8-4F34-AC1E-9D48E0ED9DCB");
struct IVel7LeaderA822 : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Property7(VARIANT* value) = 0;                      // 7
    virtual HRESULT STDMETHODCALLTYPE put_Property8(VARIANT value) = 0;                       // 8
    VEL_SLOTS(9, 10)
    virtual HRESULT STDMETHODCALLTYPE get_Property11(VARIANT* value) = 0;                     // 11
    virtual HRESULT STDMETHODCALLTYPE put_Property12(VARIANT value) = 0;                      // 12
    virtual HRESULT STDMETHODCALLTYPE get_Property13(VARIANT* value) = 0;                     // 13
    virtual HRESULT STDMETHODCALLTYPE put_Property14(VARIANT value) = 0;                      // 14
    virtual HRESULT STDMETHODCALLTYPE get_Text15(IDispatch** text) = 0;                       // 15
    virtual HRESULT STDMETHODCALLTYPE get_Text16(IDispatch** text) = 0;                       // 16
    virtual HRESULT STDMETHODCALLTYPE get_Property17(VARIANT* value) = 0;                     // 17
    virtual HRESULT STDMETHODCALLTYPE put_Property18(VARIANT value) = 0;                      // 18
};
VEL_IID(IVel7LeaderA822, "A8227628-4B9C-42C8-AE58-B3716A7EC1AF");
struct IVel7LeaderEEF8 : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Text7(IDispatch** text) = 0;                        // 7
    virtual HRESULT STDMETHODCALLTYPE get_Text8(IDispatch** text) = 0;                        // 8
    virtual HRESULT STDMETHODCALLTYPE get_Text9(IDispatch** text) = 0;                        // 9
    virtual HRESULT STDMETHODCALLTYPE get_Property10(VARIANT* value) = 0;                     // 10
    virtual HRESULT STDMETHODCALLTYPE put_Property11(VARIANT value) = 0;                      // 11
};
VEL_IID(IVel7LeaderEEF8, "EEF8366B-7C8D-448B-9944-BE63E82C1543");
struct IVel7Leader8A5D : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Text7(IDispatch** text) = 0;                        // 7
    virtual HRESULT STDMETHODCALLTYPE get_Text8(IDispatch** text) = 0;                        // 8
    virtual HRESULT STDMETHODCALLTYPE get_Text9(IDispatch** text) = 0;                        // 9
};
VEL_IID(IVel7Leader8A5D, "8A5D2A56-ECB6-4151-B1AC-F8548CD668CF");

struct IVel7LeaderText : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17)
    virtual HRESULT STDMETHODCALLTYPE get_Text(BSTR* text) = 0;                               // 18
    virtual HRESULT STDMETHODCALLTYPE put_Text(BSTR text) = 0;                                // 19
};
VEL_IID(IVel7LeaderText, "99B840FC-0150-4DAD-BC0E-AD481BAAB8C2");

struct IVel7Part : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26)
    VEL_SLOTS(27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46)
    VEL_SLOTS(47, 48, 49, 50, 51, 52)
    // Whether the part takes part in the bill of materials.
    virtual HRESULT STDMETHODCALLTYPE get_InSpc(VARIANT_BOOL* inSpc) = 0;                     // 53
    VEL_SLOTS(54, 55, 56, 57, 58, 59, 60, 61, 62, 63)
    // True for a part the positioning panels must not pick from.
    virtual HRESULT STDMETHODCALLTYPE get_Excluded(VARIANT_BOOL* excluded) = 0;               // 64
};
VEL_IID(IVel7Part, "FA4A5FDE-A08C-4F5A-8C04-98395BA44307");

struct IVel7Entity : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26)
    VEL_SLOTS(27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40)
    // The entity's item of a code; null when it has none.
    virtual HRESULT STDMETHODCALLTYPE Item(long code, IDispatch** item) = 0;                  // 41
    // The name of a named object (a coordinate system). Velmar's documents give it no position: this one
    // is the project's own, and the stand-in serves it here.
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;                               // 42 (own)
};
VEL_IID(IVel7Entity, "BC7AD518-9599-490B-9E2B-9711FD9B8D4C");

// The mass and material of a component. Positions 29 and 21 are set (0, then 1 before a mass and 0 before
// a material) as Velmar wants them; their meaning is Velmar's.
struct IVel7MassInertia : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17)
    // 0 when masses are given in kilograms and the library's (ton) values are scaled by 1000.
    virtual HRESULT STDMETHODCALLTYPE get_UnitFlag(long* flag) = 0;                           // 18
    virtual HRESULT STDMETHODCALLTYPE put_Mass(double mass) = 0;                              // 19
    VEL_SLOTS(20)
    virtual HRESULT STDMETHODCALLTYPE put_Setting21(long value) = 0;                          // 21
    VEL_SLOTS(22, 23, 24, 25, 26, 27, 28)
    virtual HRESULT STDMETHODCALLTYPE put_Setting29(long value) = 0;                          // 29
    VEL_SLOTS(30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53)
    virtual HRESULT STDMETHODCALLTYPE SetMaterial(BSTR name, double density, VARIANT_BOOL* done) = 0;  // 54
};
VEL_IID(IVel7MassInertia, "666C987F-2700-4C35-B8CE-DB8BFB5AAF02");

// The layer of a part (hosts from 15.0.1): read at 11, written at 12.
struct IVel7Layer : IDispatch {
    VEL_SLOTS(7, 8, 9, 10)
    virtual HRESULT STDMETHODCALLTYPE get_Layer(VARIANT* layer) = 0;                          // 11
    virtual HRESULT STDMETHODCALLTYPE put_Layer(VARIANT layer) = 0;                           // 12
};
VEL_IID(IVel7Layer, "60DDC74B-8171-4BA6-ABD9-549FBA84E7B0");

// The version-7 form of stored entities and of the current specification object.
struct IVel7ObjectRef : IDispatch {
    VEL_SLOTS(7, 8, 9)
    // The object's 32-bit reference, as the bill of materials' editing object takes it.
    virtual HRESULT STDMETHODCALLTYPE get_Reference(long* reference) = 0;                     // 10
};
VEL_IID(IVel7ObjectRef, "5C799A83-C0A4-4312-BEB0-21CBD7FF4C13");

// The version-7 object behind a version-5 reference of a 2D object (IVel5Application::SpcObjectAt):
// it is an spc object's geometry and a drawing object at once. Velmar documents no positions for its
// type and reference getters: 7 and 8 are the project's own.
struct IVel7DrawingObject : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Type(long* type) = 0;                               // 7 (own); 21 a leader
    virtual HRESULT STDMETHODCALLTYPE get_Reference(long* reference) = 0;                     // 8 (own)
};
VEL_IID(IVel7DrawingObject, "07EF021F-11C1-4015-8D87-4DC94A2A71B0");

struct IVel7SpcDescriptions : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13)
    virtual HRESULT STDMETHODCALLTYPE Add(BSTR first, long second, BSTR third, IDispatch** description) = 0;  // 14
    VEL_SLOTS(15)
    virtual HRESULT STDMETHODCALLTYPE get_Active(IDispatch** description) = 0;                // 16; hosts below 15.0.0
    virtual HRESULT STDMETHODCALLTYPE get_Current(IDispatch** description) = 0;               // 17; hosts from 15.0.0
};
VEL_IID(IVel7SpcDescriptions, "B9632C5C-86E1-4BC9-83A5-A954E407246A");

struct IVel7SpcDescription : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18)
    virtual HRESULT STDMETHODCALLTYPE Update(VARIANT_BOOL* done) = 0;                         // 19
    VEL_SLOTS(20)
    virtual HRESULT STDMETHODCALLTYPE get_Sub(IDispatch** sub) = 0;                           // 21
    VEL_SLOTS(22, 23)
    virtual HRESULT STDMETHODCALLTYPE get_SpcObjects(IDispatch** objects) = 0;                // 24
    VEL_SLOTS(25, 26, 27, 28, 29, 30, 31, 32, 33)
    virtual HRESULT STDMETHODCALLTYPE get_UpdateMode(VARIANT_BOOL* on) = 0;                   // 34
    virtual HRESULT STDMETHODCALLTYPE put_UpdateMode(VARIANT_BOOL on) = 0;                    // 35
    VEL_SLOTS(36)
    // Switched off while the specification objects of one item are made in bulk.
    virtual HRESULT STDMETHODCALLTYPE put_BulkSwitch(VARIANT_BOOL on) = 0;                    // 37
};
VEL_IID(IVel7SpcDescription, "9678959E-166B-45F3-BDE8-88BBF4645F5C");

// The collection on which specification objects are created; it also answers the specification
// objects attached to a geometry object.
// Count (12) and item (13) are the project's own positions, as for the column collections.
struct IVel7SpcObjects : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11)
    virtual HRESULT STDMETHODCALLTYPE get_Count(long* count) = 0;                             // 12 (own)
    // The index travels as a variant holding a 32-bit integer, counted from 0.
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IDispatch** object) = 0;        // 13 (own)
    // A new specification object in a section, with its number; Velmar may give none (null).
    virtual HRESULT STDMETHODCALLTYPE Add(long section, double number, IDispatch** object) = 0;    // 14
    // The spc objects a geometry object (a VT_DISPATCH variant) is included in, in Velmar's
    // order, as a VT_ARRAY|VT_DISPATCH variant. The position is the project's own.
    virtual HRESULT STDMETHODCALLTYPE ObjectsOf(VARIANT geometry, VARIANT* objects) = 0;       // 15 (own)
};
VEL_IID(IVel7SpcObjects, "B2B97D19-3A0B-4C9F-A6AC-DEFFAFE0D1C2");

struct IVel7SpcDescriptionSub : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18)
    virtual HRESULT STDMETHODCALLTYPE get_ColumnsA(IDispatch** columns) = 0;                  // 19
    virtual HRESULT STDMETHODCALLTYPE get_ColumnsB(IDispatch** columns) = 0;                  // 20
};
VEL_IID(IVel7SpcDescriptionSub, "F237D2B3-DFEE-4702-B71F-E5F6923F03E6");

// Column collections (A and B of a specification object) and column-definition collections
// (iSpcDscSubA, iSpcDscSubB). Velmar hands them out as plain IDispatch and documents no IID: the pointer
// is the dual interface itself (hostapi/dual_interface.h). The IID below is the project's own; it only
// names the interface in errors and in the stand-in, and nobody queries for it.
struct IVel7SpcColumns : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11)
    virtual HRESULT STDMETHODCALLTYPE get_Count(long* count) = 0;                             // 12
    // The index travels as a variant holding a 32-bit integer, counted from 0.
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IDispatch** item) = 0;          // 13
};
VEL_IID(IVel7SpcColumns, "6C0B2E71-4D5A-4E8B-9F13-2A7D5C9E0B41");

// One table: positions 7 to 34 from the base, 35 to 51 from the derived interface.
struct IVel7SpcObjectBase : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11)
    virtual HRESULT STDMETHODCALLTYPE get_Section(long* section) = 0;                         // 12
    virtual HRESULT STDMETHODCALLTYPE get_SubSection(long* subsection) = 0;                   // 13
    virtual HRESULT STDMETHODCALLTYPE put_SubSection(long subsection) = 0;                    // 14
    VEL_SLOTS(15)
    virtual HRESULT STDMETHODCALLTYPE put_AdditionalBlockSection(long section) = 0;           // 16
    virtual HRESULT STDMETHODCALLTYPE get_AdditionalBlock(long* block) = 0;                   // 17
    virtual HRESULT STDMETHODCALLTYPE put_AdditionalBlock(long block) = 0;                    // 18
    virtual HRESULT STDMETHODCALLTYPE get_NestedSection(long* section) = 0;                   // 19
    virtual HRESULT STDMETHODCALLTYPE put_NestedSection(long section) = 0;                    // 20
    virtual HRESULT STDMETHODCALLTYPE get_NestedBlock(long* block) = 0;                       // 21
    virtual HRESULT STDMETHODCALLTYPE put_NestedBlock(long block) = 0;                        // 22
    VEL_SLOTS(23, 24, 25, 26, 27, 28, 29)
    virtual HRESULT STDMETHODCALLTYPE get_ColumnsA(IDispatch** columns) = 0;                  // 30 (IVel7SpcColumns)
    virtual HRESULT STDMETHODCALLTYPE get_ColumnsB(IDispatch** columns) = 0;                  // 31 (IVel7SpcColumns)
    VEL_SLOTS(32)
    virtual HRESULT STDMETHODCALLTYPE Update(VARIANT_BOOL* done) = 0;                         // 33
    virtual HRESULT STDMETHODCALLTYPE Delete() = 0;                                           // 34
};
VEL_IID(IVel7SpcObjectBase, "72EB4E8E-7952-4B36-852B-4816B7B5AFEE");

struct IVel7SpcObject : IVel7SpcObjectBase {
    VEL_SLOTS(35, 36, 37, 38, 39, 40, 41)
    virtual HRESULT STDMETHODCALLTYPE get_Comments(IDispatch** comments) = 0;                 // 42 (IVel7SpcComments)
    // Empty for an object the user made in this document; anything else marks an object the library does
    // not refresh.
    virtual HRESULT STDMETHODCALLTYPE get_Origin(VARIANT* origin) = 0;                        // 43
    virtual HRESULT STDMETHODCALLTYPE get_Number(double* number) = 0;                         // 44
    virtual HRESULT STDMETHODCALLTYPE put_Number(double number) = 0;                          // 45
    VEL_SLOTS(46, 47)
    // The geometry the object includes, as an array of objects.
    virtual HRESULT STDMETHODCALLTYPE get_Geometry(VARIANT* geometry) = 0;                    // 48
    VEL_SLOTS(49)
    // Links geometry to the object: VT_EMPTY, one VT_DISPATCH or a VT_ARRAY|VT_DISPATCH.
    virtual HRESULT STDMETHODCALLTYPE IncludeGeometry(VARIANT geometry, VARIANT_BOOL flag, VARIANT_BOOL* done) = 0;  // 50
    // (-1, -1) unlinks all of it, as before the object is deleted.
    virtual HRESULT STDMETHODCALLTYPE ExcludeGeometry(long first, long second, VARIANT* result) = 0;  // 51
};
VEL_IID(IVel7SpcObject, "49994ED8-96BA-4D9D-B642-5F0F1E3FED16");

struct IVel7SpcColumn : IDispatch {
    VEL_SLOTS(7, 8, 9, 10)
    virtual HRESULT STDMETHODCALLTYPE get_Type(long* type) = 0;                               // 11
    virtual HRESULT STDMETHODCALLTYPE get_Number(long* number) = 0;                           // 12
    VEL_SLOTS(13, 14)
    // 1, 2, 3 text kinds; 4 the record kind, whose items are switched on and given values.
    virtual HRESULT STDMETHODCALLTYPE get_Kind(long* kind) = 0;                               // 15
    virtual HRESULT STDMETHODCALLTYPE get_Items(IDispatch** items) = 0;                       // 16 (IVel7SpcColumnItems)
    VEL_SLOTS(17, 18)
    virtual HRESULT STDMETHODCALLTYPE get_TextObject(IDispatch** text) = 0;                   // 19: IVel7SpcColumnText
};
VEL_IID(IVel7SpcColumn, "3ECFB777-2645-42B5-A6ED-111688433B26");

// The items of a record-kind column. No IID given: the project's own, as for IVel7SpcColumns; so are
// the positions of count and item, which follow the column collections.
struct IVel7SpcColumnItems : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11)
    virtual HRESULT STDMETHODCALLTYPE get_Count(long* count) = 0;                             // 12
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IDispatch** item) = 0;          // 13
};
VEL_IID(IVel7SpcColumnItems, "2B8D4C13-7E6F-4A90-B152-8C3E9F0A6D27");

struct IVel7SpcColumnItem : IDispatch {   // no IID given: the project's own
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13, 14)
    virtual HRESULT STDMETHODCALLTYPE put_On(VARIANT_BOOL on) = 0;                            // 15
    VEL_SLOTS(16)
    virtual HRESULT STDMETHODCALLTYPE put_Value(VARIANT value) = 0;                           // 17
};
VEL_IID(IVel7SpcColumnItem, "5A17E0C9-2D4B-4F63-9E8A-0B6C7D1F3A94");

// The two text interfaces of a column. Velmar's type library names them but the library's documents give
// neither identifiers nor positions: the identifiers and the positions of the line members below are the
// project's own, and the stand-in serves them at exactly these.
// The column's text object (IVel7SpcColumn position 19), one entry per line of the column's text.
struct IVel7SpcColumnText : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17)
    virtual HRESULT STDMETHODCALLTYPE get_Str(BSTR* text) = 0;                                // 18: the text as it shows
    virtual HRESULT STDMETHODCALLTYPE get_LineCount(long* count) = 0;                         // 19 (own)
    virtual HRESULT STDMETHODCALLTYPE put_LineText(long index, VARIANT text) = 0;             // 20 (own)
};
VEL_IID(IVel7SpcColumnText, "E7040589-1042-42E5-9850-5DEA2033E1BA");
// The column's second text interface: the whole text as one string, formatted by Velmar.
struct IVel7SpcColumnString : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE put_Str(BSTR text) = 0;                                 // 7 (own)
};
VEL_IID(IVel7SpcColumnString, "12B4E8AD-7B6D-4909-92FF-E149E86E7407");

struct IVel7SpcColumnDefinition : IDispatch {
    VEL_SLOTS(7, 8, 9, 10)
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;                               // 11
    virtual HRESULT STDMETHODCALLTYPE get_Type(long* type) = 0;                               // 12
    virtual HRESULT STDMETHODCALLTYPE get_Number(long* number) = 0;                           // 13
    VEL_SLOTS(14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27)
    // Whether the column belongs to the 3D form of the specification.
    virtual HRESULT STDMETHODCALLTYPE get_Is3D(VARIANT_BOOL* is3D) = 0;                       // 28
};
VEL_IID(IVel7SpcColumnDefinition, "16839CAA-3AFB-49A4-A19A-C61963967649");

// The comment objects of a specification object. Count (12) and item (13) are the project's own
// positions, as for the column collections.
struct IVel7SpcComments : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11)
    virtual HRESULT STDMETHODCALLTYPE get_Count(long* count) = 0;                             // 12
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IDispatch** comment) = 0;       // 13
    VEL_SLOTS(14)
    virtual HRESULT STDMETHODCALLTYPE Add(IDispatch* comment, VARIANT_BOOL* done) = 0;        // 15
    // The index travels as a VT_INT variant.
    virtual HRESULT STDMETHODCALLTYPE Remove(VARIANT index, VARIANT_BOOL* done) = 0;          // 16
};
VEL_IID(IVel7SpcComments, "B8BD0FC7-AB2B-4E7A-8EC2-82060D7D29A7");

// The version-7 application queried to this IID.
struct IVel7ComponentPropertyManager : IDispatch {
    VEL_SLOTS(7, 8)
    // The properties of the active document (empty text) or of a property library file (its path), as
    // a variant array of IVel7ComponentProperty. The argument form is the project's own reading.
    virtual HRESULT STDMETHODCALLTYPE GetProperties(BSTR library, VARIANT* properties) = 0;   // 9
    // VT_EMPTY: a new property of the active document; a library property: that property added to the
    // active document. Gives the document's property. The argument form is the project's own reading.
    virtual HRESULT STDMETHODCALLTYPE AddProperty(VARIANT source, IDispatch** property) = 0;  // 10
};
VEL_IID(IVel7ComponentPropertyManager, "FD515235-4DBA-4F81-8D5C-6FE87C834562");

// Positions 14, 20 and 34 are set on a property the library makes (3, 0, 0) and 32 is called after
// them; what they mean is Velmar's. The identifier getter (8) is at the project's own position.
struct IVel7ComponentProperty : IDispatch {
    VEL_SLOTS(7)
    virtual HRESULT STDMETHODCALLTYPE get_Id(double* id) = 0;                                 // 8
    VEL_SLOTS(9, 10)
    virtual HRESULT STDMETHODCALLTYPE put_Name(BSTR name) = 0;                                // 11
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;                               // 12
    VEL_SLOTS(13)
    virtual HRESULT STDMETHODCALLTYPE put_Setting14(long value) = 0;                          // 14
    VEL_SLOTS(15, 16, 17, 18, 19)
    virtual HRESULT STDMETHODCALLTYPE put_Setting20(long value) = 0;                          // 20
    VEL_SLOTS(21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31)
    virtual HRESULT STDMETHODCALLTYPE Commit() = 0;                                           // 32
    VEL_SLOTS(33)
    virtual HRESULT STDMETHODCALLTYPE put_Setting34(long value) = 0;                          // 34
};
VEL_IID(IVel7ComponentProperty, "C389F80D-228D-4FB1-B183-959AEA0B5906");

// The property values of one object (a 3D component, or the version-7 object of a 2D macro).
struct IVel7PropertyKeeper : IDispatch {
    VEL_SLOTS(7)
    // (property, value, -1, result).
    virtual HRESULT STDMETHODCALLTYPE SetValue(IDispatch* property, VARIANT value, long flag, VARIANT* result) = 0;  // 8
    // (property, -1): the value; for property 5, a named-entry list (IVel7NamedEntries).
    virtual HRESULT STDMETHODCALLTYPE GetValue(IDispatch* property, long flag, VARIANT* value) = 0;  // 9
    // (-1) the object-data store of a top part (IVel7DataStore), hosts from 14.0.1.
    virtual HRESULT STDMETHODCALLTYPE GetDataStore(long flag, IDispatch** store) = 0;         // 10
};
VEL_IID(IVel7PropertyKeeper, "AE7377CB-28C6-468E-B667-73117BCDC300");

// Named values: the named-entry list of property 5 and the library's section of an element's store
// entry. An absent name reads as VT_EMPTY. Writing a name that exists replaces its value; writing a new
// name adds an entry.
struct IVel7NamedEntries : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13, 14, 15)
    virtual HRESULT STDMETHODCALLTYPE Get(VARIANT name, VARIANT* value, VARIANT* second, BSTR* third) = 0;  // 16
    VEL_SLOTS(17)
    // (null text, value, name, out unused).
    virtual HRESULT STDMETHODCALLTYPE Set(BSTR first, VARIANT value, BSTR name, long* result) = 0;  // 18
};
VEL_IID(IVel7NamedEntries, "DD2AF5C4-D5B9-420D-B658-F935F80A8586");
// The object-data store of a part or document: one entry per object, one section (IVel7NamedEntries)
// per library in an entry.
struct IVel7DataStore : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12)
    // The entry of an object (a VT_DISPATCH variant); null when the object has none.
    virtual HRESULT STDMETHODCALLTYPE Find(VARIANT object, IDispatch** entry) = 0;            // 13
    virtual HRESULT STDMETHODCALLTYPE Add(IDispatch* object, IDispatch** entry) = 0;          // 14
};
VEL_IID(IVel7DataStore, "77A6D4CA-6418-4DEE-B59C-400BFD052375");
struct IVel7StoreEntry : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12)
    // The section of a library (a VT_BSTR variant); null when there is none.
    virtual HRESULT STDMETHODCALLTYPE Find(VARIANT name, IDispatch** section) = 0;            // 13
    virtual HRESULT STDMETHODCALLTYPE Add(BSTR name, IDispatch** section) = 0;                // 14
};
VEL_IID(IVel7StoreEntry, "9DBFB4EB-BE9F-46EF-88FF-BB603A9E786B");

// The placement frames of the positioning model.
struct IVel7Frames : IDispatch {
    // A new frame (IVel7Frame). Velmar documents no position: the project's own.
    virtual HRESULT STDMETHODCALLTYPE Add(IDispatch** frame) = 0;                             // 7 (own)
    VEL_SLOTS(8, 9, 10, 11, 12, 13, 14, 15)
    // Makes the argument current; the result (IVel7FrameSwitch) is what position 17 takes back.
    virtual HRESULT STDMETHODCALLTYPE Activate(IDispatch* argument, IDispatch** result) = 0;  // 16
    // Makes the object current and gives the one current before.
    virtual HRESULT STDMETHODCALLTYPE MakeCurrent(IDispatch* object, IDispatch** previous) = 0;  // 17
};
VEL_IID(IVel7Frames, "CC04CBF6-F0D4-456E-903A-C0B0D3551368");

struct IVel7FrameSwitch : IDispatch {};
VEL_IID(IVel7FrameSwitch, "BA6395F5-3506-4483-8864-4EEC220AF316");

// A placement frame as IVel7Frames::Add hands it out: a dual object without an IID of its own (the IID
// below is the project's own and only names it, hostapi/dual_interface.h). Three booleans and a 32-bit
// setting whose meaning is Velmar's, at the project's own positions.
struct IVel7Frame : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE put_Setting7(VARIANT_BOOL on) = 0;                      // 7 (own)
    virtual HRESULT STDMETHODCALLTYPE put_Setting8(VARIANT_BOOL on) = 0;                      // 8 (own)
    virtual HRESULT STDMETHODCALLTYPE put_Setting9(VARIANT_BOOL on) = 0;                      // 9 (own)
    virtual HRESULT STDMETHODCALLTYPE put_Setting10(long value) = 0;                          // 10 (own)
};
VEL_IID(IVel7Frame, "8E2F6C14-3B7A-4D29-A5E0-91C4D7B3F258");

// The editing mode of an auxiliary line; the same IID is the auxiliary line itself. Its points are in
// the coordinates of the frame it was made in (the first along the frame's axis). Only the mode has
// Velmar's position; the others are the project's own.
struct IVel7AuxLineMode : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE put_Mode(long mode) = 0;                                // 7
    // Point 1 or 2 of the line.
    virtual HRESULT STDMETHODCALLTYPE SetPoint(long index, double x, double y, double z) = 0;   // 8 (own)
    virtual HRESULT STDMETHODCALLTYPE GetPoint(long index, double* x, double* y, double* z) = 0;  // 9 (own)
    // Called with 1, then 0, before the line is moved; its meaning is Velmar's.
    virtual HRESULT STDMETHODCALLTYPE SetState(long state) = 0;                               // 10 (own)
};
VEL_IID(IVel7AuxLineMode, "116F7E59-F175-47D2-8346-EB3C87D60578");

// The feature interface of a top part. The getter of the collection in which placement frames are made
// is at the project's own position.
struct IVel7PartFeatures : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Frames(IDispatch** frames) = 0;                    // 7 (own)
    // A new auxiliary line (IVel7AuxLineMode) in the current frame; made inside the document's edit
    // bracket (IVel7Document3D::put_EditSwitch).
    virtual HRESULT STDMETHODCALLTYPE AddAuxLine(IDispatch** line) = 0;                      // 8 (own)
};
VEL_IID(IVel7PartFeatures, "950FEBE2-F916-4E77-A37D-B061E5C22FA8");
// What a frame stands on: a sketch, or a plane and an axis, given in that order.
struct IVel7FrameSource : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE AddSource(IDispatch* object) = 0;                      // 7 (own)
};
VEL_IID(IVel7FrameSource, "D71AEDBE-01D4-4C7D-96DC-94981F2A1C37");
// The bases of a frame by kind (71 the surface it stands on, 72 the direction object); the answer says
// whether the frame took the object.
struct IVel7FrameBase : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE SetBase(long kind, IDispatch* object, VARIANT_BOOL* accepted) = 0;  // 7 (own)
};
VEL_IID(IVel7FrameBase, "919DF6DB-0BA9-4EDD-B681-33E0B519834B");

// The version-7 objects of a sketch: a sketch object with its constraints in order, a constraint (its
// type, its first partner object with that object's type, its boolean property), and a sketch point
// ("tx", "ty", Update). Velmar documents neither identifiers nor positions for them: like the column
// interfaces, every position and identifier below is the project's own. The library reaches them as
// dual objects (hostapi/dual_interface.h); the stand-in serves its faces by the identifiers.
struct IVel7SketchObject : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Type(long* type) = 0;                               // 7
    virtual HRESULT STDMETHODCALLTYPE get_ConstraintCount(long* count) = 0;                   // 8
    virtual HRESULT STDMETHODCALLTYPE get_Constraint(long index, IDispatch** constraint) = 0;    // 9, from 0
};
VEL_IID(IVel7SketchObject, "A6C83123-9746-4DFB-B4A8-797B1916CC22");
struct IVel7SketchConstraint : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Type(long* type) = 0;                               // 7
    // The first object the constraint ties (IVel7SketchObject); null when there is none.
    virtual HRESULT STDMETHODCALLTYPE get_Partner(IDispatch** partner) = 0;                   // 8
    virtual HRESULT STDMETHODCALLTYPE get_Flag(VARIANT_BOOL* on) = 0;                         // 9
};
VEL_IID(IVel7SketchConstraint, "AE30EB3D-0B3A-48C9-884C-E0AD9A08E459");
struct IVel7SketchPoint : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_tx(double* x) = 0;                                  // 7
    virtual HRESULT STDMETHODCALLTYPE put_tx(double x) = 0;                                   // 8
    virtual HRESULT STDMETHODCALLTYPE get_ty(double* y) = 0;                                  // 9
    virtual HRESULT STDMETHODCALLTYPE put_ty(double y) = 0;                                   // 10
    virtual HRESULT STDMETHODCALLTYPE Update(VARIANT_BOOL* done) = 0;                         // 11
};
VEL_IID(IVel7SketchPoint, "6FD6C2A8-5421-4EED-B2FB-6EDF630CB1B3");

// The panel framework: the property manager of the version-7 application, its pages and their
// controls. Every control answers the common control interface (positions 7 to 27); the interface of
// its kind continues the same table from position 28. Getters the documents give no number take the
// position after their setter, as the numbered pairs (16/17, 26/27) do: those are the project's own.
struct IVel7PropertyManager : IDispatch {
    VEL_SLOTS(7, 8, 9, 10)
    virtual HRESULT STDMETHODCALLTYPE put_HeaderCaption(BSTR caption) = 0;                    // 11
    VEL_SLOTS(12)
    virtual HRESULT STDMETHODCALLTYPE get_Pages(IDispatch** pages) = 0;                       // 13 (IVel7Pages)
    // Layout of the header: 3 with the panel's style flag set, else 2 (the values are Velmar's).
    virtual HRESULT STDMETHODCALLTYPE put_LayoutStyle(long style) = 0;                        // 14
    VEL_SLOTS(15)
    // False when a panel's header is set up, true when its process starts; its meaning is Velmar's.
    virtual HRESULT STDMETHODCALLTYPE put_Setting16(VARIANT_BOOL on) = 0;                     // 16
};
VEL_IID(IVel7PropertyManager, "CB5FDBC8-4DAE-4C4B-87D5-6FD1F2705C38");

struct IVel7Pages : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13)
    virtual HRESULT STDMETHODCALLTYPE Add(BSTR caption, IDispatch** page) = 0;                // 14 (IVel7Page)
};
VEL_IID(IVel7Pages, "5BA6324E-E555-490F-A0E2-68D3C6C88D92");

struct IVel7Page : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13, 14, 15, 16)
    virtual HRESULT STDMETHODCALLTYPE get_Controls(IDispatch** controls) = 0;                 // 17 (IVel7Controls)
};
VEL_IID(IVel7Page, "45DE8E5B-BC2B-4584-8BA7-D3014D3A2397");

// Kinds of control the controls collection adds, with the interface each answers beside IVel7Control.
enum VelControlKind : long {
    VelControlGroupTitle = 1,            // IVel7GroupTitle
    VelControlSelectField = 4,           // IVel7SelectField
    VelControlComboBox = 7,              // IVel7ComboBox
    VelControlCheckBox = 8,
    VelControlButtons = 9,               // IVel7Buttons: one select button, a bar, a direction pair
    VelControlToggle = 13,
    VelControlSpinEdit = 15,             // IVel7SpinEdit
    VelControlList = 18,                 // IVel7HoleList
};

struct IVel7Controls : IDispatch {
    VEL_SLOTS(7, 8, 9, 10, 11, 12, 13)
    virtual HRESULT STDMETHODCALLTYPE Add(long kind, IDispatch** control) = 0;                // 14
};
VEL_IID(IVel7Controls, "548241BA-FDA8-4633-981E-94552BE38D6B");

struct IVel7Control : IDispatch {
    VEL_SLOTS(7, 8, 9, 10)
    virtual HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL visible) = 0;                  // 11
    VEL_SLOTS(12)
    virtual HRESULT STDMETHODCALLTYPE put_Caption(BSTR caption) = 0;                          // 13
    VEL_SLOTS(14, 15)
    virtual HRESULT STDMETHODCALLTYPE put_Id(long id) = 0;                                    // 16
    virtual HRESULT STDMETHODCALLTYPE get_Id(long* id) = 0;                                   // 17
    virtual HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL enabled) = 0;                  // 18
    VEL_SLOTS(19)
    virtual HRESULT STDMETHODCALLTYPE put_Value(VARIANT value) = 0;                           // 20
    virtual HRESULT STDMETHODCALLTYPE get_Value(VARIANT* value) = 0;                          // 21 (own)
    VEL_SLOTS(22, 23)
    virtual HRESULT STDMETHODCALLTYPE put_Hint(BSTR hint) = 0;                                // 24
    VEL_SLOTS(25)
    virtual HRESULT STDMETHODCALLTYPE put_Name(BSTR name) = 0;                                // 26
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;                               // 27
};
VEL_IID(IVel7Control, "E35F8FF8-03C6-460C-A2F1-294A3A29A029");

// A collection of buttons: one select button (style 1), a bar (0) or a direction pair of which one is
// checked (2). Buttons are addressed by their ids.
struct IVel7Buttons : IVel7Control {
    virtual HRESULT STDMETHODCALLTYPE put_Style(long style) = 0;                              // 28
    VEL_SLOTS(29)
    virtual HRESULT STDMETHODCALLTYPE SetChecked(long id, VARIANT_BOOL checked) = 0;          // 30
    virtual HRESULT STDMETHODCALLTYPE IsChecked(long id, VARIANT_BOOL* checked) = 0;          // 31
    virtual HRESULT STDMETHODCALLTYPE SetEnabled(long id, VARIANT_BOOL enabled) = 0;          // 32
    virtual HRESULT STDMETHODCALLTYPE IsEnabled(long id, VARIANT_BOOL* enabled) = 0;          // 33
    // The library sets state 1 on a select button, which stays pressed until pressed again; the state
    // values are Velmar's.
    virtual HRESULT STDMETHODCALLTYPE SetState(long id, long state) = 0;                      // 34
    // A button with its image: a bitmap handle (as 32 bits, as GDI handles are) that Velmar copies, so
    // the caller frees its bitmap after the call. The argument form is the project's own reading.
    virtual HRESULT STDMETHODCALLTYPE AddButton(long id, long bitmap) = 0;                    // 35
    VEL_SLOTS(36)
    virtual HRESULT STDMETHODCALLTYPE SetButtonHint(long id, BSTR hint) = 0;                  // 37
    VEL_SLOTS(38)
    virtual HRESULT STDMETHODCALLTYPE SetButtonCaption(long id, BSTR caption) = 0;            // 39
};
VEL_IID(IVel7Buttons, "3920A0BE-0628-47D5-B0F1-1DFEB77964BC");

// The combo box; its list items are texts and its value is the text chosen.
struct IVel7ComboBox : IVel7Control {
    VEL_SLOTS(28, 29, 30, 31, 32, 33, 34)
    virtual HRESULT STDMETHODCALLTYPE put_Setting35(VARIANT_BOOL on) = 0;                     // 35
    VEL_SLOTS(36)
    virtual HRESULT STDMETHODCALLTYPE put_Setting37(long value) = 0;                          // 37
    virtual HRESULT STDMETHODCALLTYPE Clear() = 0;                                            // 38 (own): no items
    VEL_SLOTS(39)
    virtual HRESULT STDMETHODCALLTYPE AddItem(BSTR text) = 0;                                 // 40
    virtual HRESULT STDMETHODCALLTYPE put_Setting41(long value) = 0;                          // 41
    VEL_SLOTS(42)
    // The index of the first item with that text; -1 when there is none. The argument form is the
    // project's own reading.
    virtual HRESULT STDMETHODCALLTYPE ItemIndex(BSTR text, long* index) = 0;                  // 43
    // Chooses the item of an index; the library passes true as the second argument, whose meaning is
    // Velmar's.
    virtual HRESULT STDMETHODCALLTYPE Select(long index, VARIANT flag) = 0;                   // 44
};
VEL_IID(IVel7ComboBox, "8F53E9D5-07AD-412E-8C2A-509BC633C4FF");

struct IVel7SpinEdit : IVel7Control {
    VEL_SLOTS(28, 29)
    // The value with its lowest and highest allowed values.
    virtual HRESULT STDMETHODCALLTYPE SetRange(double value, double low, double high) = 0;    // 30
    VEL_SLOTS(31, 32, 33, 34, 35, 36)
    virtual HRESULT STDMETHODCALLTYPE put_Setting37(long value) = 0;                          // 37
};
VEL_IID(IVel7SpinEdit, "F214A46D-2BA9-40AD-A32D-E696EF9C895A");

struct IVel7GroupTitle : IVel7Control {
    virtual HRESULT STDMETHODCALLTYPE put_Setting28(VARIANT_BOOL on) = 0;                     // 28
};
VEL_IID(IVel7GroupTitle, "4504EFA0-D059-4FD4-B725-FA264D190869");

// The field that shows a selected object; its value is the object's name.
struct IVel7SelectField : IVel7Control {
    VEL_SLOTS(28, 29, 30, 31, 32, 33, 34)
    virtual HRESULT STDMETHODCALLTYPE put_Setting35(VARIANT_BOOL on) = 0;                     // 35
    VEL_SLOTS(36)
    virtual HRESULT STDMETHODCALLTYPE put_Setting37(long value) = 0;                          // 37
};
VEL_IID(IVel7SelectField, "1D238C4C-AAD7-4374-B372-013CF7FCEDB4");

// The list of the hole panel.
struct IVel7HoleList : IVel7Control {
    virtual HRESULT STDMETHODCALLTYPE Clear() = 0;                                            // 28 (own)
    virtual HRESULT STDMETHODCALLTYPE AddRow(BSTR text) = 0;                                  // 29 (own)
};
VEL_IID(IVel7HoleList, "FDB82760-7EA3-408E-8699-A8392ACFD810");
