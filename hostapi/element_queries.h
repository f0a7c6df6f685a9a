#pragma once
// What lies inside macro elements and parts: the inner objects of an element, the cylindrical face of a
// part, the elements of a type in a part's feature tree, the patterns elements belong to, the thread
// inside an element.
//
// GetEntityDefinition, GetEntityDefinitionPart, FindPartOfEntity and GetCylinderAxisFromEntity answer
// null for a null input; CollectNamedObjects raises E_POINTER for a null part and CollectPatternObjects
// for a null application when it needs one. Every failing host call raises _com_error.
#include "core/obj_array.h"
#include "hostapi/velmar5.h"

// The inner objects of a macro element (its macro definition's dispatch id 2), a collection to walk
// with WalkHostItems; null when the entity has no macro definition.
IDispatchPtr GetEntityDefinition(IVel5Entity* entity);

// The first face that FindPartOfEntity finds in the parts of a collection (walked with 3 and 5);
// items that are not parts are passed over.
IVel5EntityPtr GetEntityDefinitionPart(IDispatch* parts);

// The first face of the part whose face definition passes its test 3 (a cylindrical face).
IVel5EntityPtr FindPartOfEntity(IVel5Part* part);

// Appends to the list the macro elements of the type in the part's feature tree, at every depth of
// nested type-63 elements (an element before the elements inside it).
void CollectNamedObjects(IVel5Part* part, short type, ObjArray& list);

// For every entity of the list, the pattern features among its element's inner objects (types 25, 26,
// 29, 47, 58) go in their version-7 form to the patterns list, and the further object of each (by the
// pattern's type; type 58 has none) to the sources list. Answers 1 when an inner feature of type 85 was
// met, else 0. A version-7 form the host does not offer is not listed.
long CollectPatternObjects(IVel5Application* application, const ObjArray& objects, ObjArray& patterns, ObjArray& sources);

// The first inner feature of type 58 of the macro element (type 63) that owns the version-7 object.
IVel5EntityPtr GetCylinderAxisFromEntity(IDispatch* object7);
