#pragma once
// The host interfaces of the active document's specification, rebuilt by Refresh before specification
// objects are made, found or changed.
#include "core/obj_array.h"
#include "hostapi/velmar5.h"
#include "hostapi/velmar7.h"

class TraceScope;

struct SpcDocContext {
    IVel7SpcDescriptionsPtr iSpcDscs;
    IVel7SpcDescriptionPtr iSpcDsc;         // the active description
    IDispatchPtr iSpcObjs;                  // the collection specification objects are created on (IVel7SpcObjects)
    IVel7SpcDescriptionSubPtr iSpcDscSub;
    IDispatchPtr iSpcDscSubA;               // column definitions of collection A, as the host gives them
    IDispatchPtr iSpcDscSubB;               // column definitions of collection B
    IVel5ApplicationPtr iApp5;              // set by the owner
    IVel7ApplicationPtr iApp7;              // set by the owner

    // Rebuilds the chain from the active document. Hosts below 15.0.0 give the active description at
    // position 16 of the descriptions, later ones at 17. A missing description is created when asked to
    // (position 14 with "", 0, ""); if Velmar still gives none, the application refreshes (16).
    // Every refresh that has both applications starts from an empty chain, so that a context never
    // reports a previous document's specification as complete. It never throws for a missing document,
    // description or member; failing host calls raise _com_error.
    void Refresh(bool createIfMissing);

    // All six chain members are there.
    bool IsComplete() const;
    // The five an spc object is made with are there (the second column collection may be missing).
    bool IsMainlyValid() const;
};

// The spc objects of the document that include the object (the objects collection's 15), in Velmar's
// order; none without a bill of materials.
ObjArray SpcObjectsHolding(const SpcDocContext& context, IDispatch* object);

// The objects of the list that no spc object includes beside those of `going`, the objects on their way
// out of the document: a position leader of which that is true numbers no line that stays. Without a bill
// of materials nothing includes anything: every object of the list.
ObjArray HeldByNoSpcObject(const SpcDocContext& context, const ObjArray& objects, const ObjArray& going = ObjArray());

// Includes the geometry in the spc object beside what it holds; Velmar answering "not done" is a failure
// (E_FAIL), as a refused call is. The answer is traced in the caller's scope.
void IncludeSpcGeometry(IVel7SpcObject* object, const ObjArray& geometry, TraceScope& scope);

// The version-7 specification-object form of a 2D object's reference: an empty list for reference 0
// (no host call) and when Velmar has no such object; else a list of that one object.
ObjArray GetSpcObjectAt(IVel5Application* application, long reference);
