#pragma once
// A standard part that lives in a Velmar assembly as a component built from a model file. The part's
// identity is kept on the component as a user-parameter block of 14 value items: 8-bit items 0 to 8
// (from blocks of older versions) and wide items 9 to 13, which take precedence.
#include "objects/nm_vel_obj_3d.h"

#include <string>

class NMVelObjModel3D : public NMVelObj3D {
public:
    // With a part: state edit, and the identity is read from the part's block.
    NMVelObjModel3D(IVel5Application* app5, IVel7Application* app7, INMClient* client, IVel5Part* part, bool isSpecActive);
    ~NMVelObjModel3D() override;

    // Attaches the identity block to the part; a part that refuses it gives "Can't set user param".
    void Save() override;
    // Reads the identity back; a missing, foreign or empty block leaves it unrecognised (IsNMObject false)
    // with the identity texts unchanged. Never fails on the block's content.
    void Load() override;
    // Points the component at its model file again.
    void SetFileName(const std::wstring& fileName);

    IVel5PartPtr iPrt5;
    IVel7PartPtr iPrt7;

private:
    struct Template;
    Template MakeTemplate();
};
