#pragma once
// Passing from an object of one host layer to the same object in the other, and narrowing a version-5
// feature to its entity or part.
#include "hostapi/velmar5.h"
#include "hostapi/velmar7.h"

// The version-5 object of a version-7 object: its bridge (dispatch id 34), then the bridge's version-5
// object (5), both as IVel5Object. Null for a null input or when either does not support IVel5Object.
IVel5ObjectPtr GetAPI5ObjectFromAPI7(IDispatch* object);
// The same for version-7 objects of the second kind, whose bridge is dispatch id 14.
IVel5ObjectPtr GetAPI5ObjectFromAPI7Ex(IDispatch* object);

// The entity behind a feature of type 105, else null.
IVel5EntityPtr FeatureToMacro(IVel5Object* feature);
// The part behind a feature of type 104, else null.
IVel5PartPtr FeatureToPart(IVel5Object* feature);

// The application's conversion between the layers (dispatch id 108): the version-7 twin of an object
// (2, 0), and the version-5 entity of a version-7 model object (1, 105). Null when Velmar has none.
IDispatchPtr ToApi7Object(IVel5Application* application, IDispatch* object);
IVel5EntityPtr ToApi5Entity(IVel5Application* application, IDispatch* object7);

IVel5EntityPtr GetMacroFromAPI7Object(IDispatch* object);
IVel5EntityPtr GetMacroFromAPI7ObjectEx(IDispatch* object);

// The selected object itself, or — when it lies inside an entity (other than a type-63 macro element)
// that holds a list of parts — the version-5 part it stands for there. Version-5 parts are accepted as
// well: they answer the bridge call like version-7 objects do. Null when the selected object is null or
// its index lies outside the entity's list.
IDispatchPtr CollectMacroObjects(IVel5Application* application, IDispatch* selected);

// The version-5 part at an index of the list of the object's entity; null (traced) for an index outside it.
IVel5PartPtr CollectMacroObjectsByIndex(IVel5Application* application, IVel5Object* object, long index);
