#pragma once
// The reads every geometry query starts from: an entity's type, its definition in the interface of its
// kind, and the walk of a host collection.
#include "hostapi/dispatch_call.h"
#include "hostapi/velmar5.h"

#include <functional>

// The 16-bit entity type (dispatch id 3). A null entity raises E_POINTER.
short GetEntityType(IVel5Entity* entity);

// The entity's definition (dispatch id 5) queried to I; null when it has none of that kind.
template <class I>
HostPtr<I> EntityDefinition(IVel5Entity* entity)
{
    return ObjectAs<I>(V5Method(entity, IVel5Entity::Definition));
}

// An object a host call needs: null raises E_POINTER carrying the IID it was wanted as.
template <class P>
P RequireHost(P object)
{
    if (!object)
        RaiseNullHostPointer(__uuidof(typename P::Interface));
    return object;
}

// A new parameter structure of the application (dispatch id 9 with the kind) as I; none raises E_POINTER.
template <class I>
HostPtr<I> NewStructure(IVel5Application* application, short kind)
{
    return RequireHost(ObjectAs<I>(V5Method(application, IVel5Application::NewStructure, kind)));
}

// Walks a host collection: dispatch id 3 gives the first item, 5 the next, until an item is null or the
// visitor answers false. A null collection is empty.
void WalkHostItems(IDispatch* collection, const std::function<bool(IDispatch* item)>& visit);

// The macro element behind an item of a feature collection; null for an item that is no feature of a
// macro element.
IVel5EntityPtr MacroOfFeatureItem(IDispatch* item);

// Velmar's delete of an object of a 3D document (dispatch id 43), which answers whether the object went.
// An object a step replaces must go: a refusal raises E_FAIL, so the step fails as on a failing call.
void DeleteReplacedObject(IVel5Document3D* document, IDispatch* object);
// An object that only served a step (a mate, a sketch, a frame, a placeholder): a refusal is traced
// under what the object is, and the step goes on.
void DeleteHelperObject(IVel5Document3D* document, IDispatch* object, const wchar_t* what);
