#pragma once
// Assembly mates and the small part queries around them: finding the mate element of a macro element,
// the mates an object takes part in, creating a mate, a cone's value, the document's top part and the
// faces of a part that mates may be put on.
//
// The queries answer null, false or an empty list for a null input or a missing object on their way;
// GetConeParams and CreateMate raise E_POINTER where they need an object that is missing. Every failing
// host call raises _com_error.
#include "core/obj_array.h"
#include "hostapi/velmar5.h"

// The entity's default object of a kind (71, 72, 73: its X, Y and Z axes): the first item of its
// collection of that kind (dispatch id 18); null when there is none.
IVel5EntityPtr GetDirectionObject(IVel5Entity* entity, short kind);
// The same for a part: the first of its objects of that type (dispatch id 18).
IVel5EntityPtr GetDirectionObject(IVel5Part* part, short kind);

// The macro element that owns a version-7 object: its owner (dispatch id 14) as a feature of type 105.
IVel5EntityPtr GetMateMacro(IDispatch* object7);

// True when the entity's version-7 form has an item of the code 72 (method 41).
bool HasApi7Item72(IVel5Application* application, IVel5Entity* entity);

// The mate element (type 68) that owns the version-7 object, when HasApi7Item72 of it equals the kind.
IVel5EntityPtr IsMateOfMacroKind(IVel5Application* application, IDispatch* object7, bool kind);

// The first item of a collection (walked with 3 and 5) that is a feature of a mate element (type 68).
IVel5EntityPtr GetMateMacroOfEntity(IDispatch* items);

// The mate element among the inner objects of a macro element.
IVel5EntityPtr GetMacroOfMateEntity(IVel5Entity* entity);

// The mate element inside the macro element (type 63) that owns the version-7 object, when
// HasApi7Item72 of it equals the kind.
IVel5EntityPtr IsMateEntityOfKind(IVel5Application* application, IDispatch* object7, bool kind);

// The mates of the document in which the object takes part.
ObjArray GetMateObjects(IVel5Document3D* document, IDispatch* object);

// Creates one mate between two objects with the fixed value 1; nothing when either object is missing.
// With a mate collection a new definition is filled, checked and added only when its check passes;
// without one the document creates the mate at once.
void CreateMate(IVel5Document3D* document, IDispatch* first, IDispatch* second, short mateType, short direction,
                IVel5MateCollection* mates, double value);

// The absolute cone value of a face: definition → surface (6) → cone parameters (29) → 3. A missing
// object on the way raises E_POINTER.
double GetConeParams(IVel5Entity* entity);

// The component being edited in place (-4), else the document's own top part (-1); null when neither.
IVel5PartPtr GetTopPart(IVel5Document3D* document);

// The faces of every part in the collection (walked with 3 and 5) that CollectFacesVariant2 keeps.
ObjArray GetMateGeometryObjects(IDispatch* parts);

// The part's faces that pass IsFaceVariant2, in the order of the part's face iterator.
ObjArray CollectFacesVariant2(IVel5Part* part);
