#pragma once
// An spc object of a library part handled through the bill of materials alone: it wraps one
// existing spc object, takes the part's identity from its "ID Normset" column, and is the
// controller's current part while the bulk refresh rebuilds that object from the reference book.
#include "objects/nm_vel_obj.h"

class NMVelObjSpc : public NMVelObj {
public:
    // spc points at the creating controller's bill-of-materials member (not owned; the controller
    // outlives the object). spcObject may be null: the list then stays empty. The identity is read when
    // an object is given and the context is complete.
    NMVelObjSpc(IVel5Application* app5, IVel7Application* app7, INMClient* client, IVel5SpecificationPtr* spc,
                const SpcDocContext* context, IDispatch* spcObject, bool is3DSpec, NMAllSettings* settings);
    ~NMVelObjSpc() override;

    // Takes over the found object's spc objects.
    void BindTo(NMObject* found) override;
    // The list stays as the constructor or BindTo left it.
    void GetExistsSpcObjects(const SpcDocContext& context) override;
    // The position number goes to the controller's bill of materials, when there is one.
    void RestorePosition(int32_t position) override;

    // NM_QuarvendID from the first object's "ID Normset" column; IsNMObject when it is not empty and the
    // object is not marked as one the library leaves alone.
    void ReadIdFromSpcObject(const SpcDocContext& context);

private:
    IVel5SpecificationPtr* specification_;
};
