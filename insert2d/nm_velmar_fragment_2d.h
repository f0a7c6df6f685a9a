#pragma once
// A standard part in a drawing whose drawing comes from a fragment library: the method body names the
// library file, the part variable "LFR_FRAG_NAME" the fragment in it. The fragment is inserted into a
// temporary document with the part's values for its document variables; what it draws (without its
// construction aids) goes as a group over Velmar's clipboard into the user's drawing. The clipboard is
// overwritten on the way.
#include "insert2d/nm_vel_obj_2d.h"

class NMVelmarFragment2D : public NMVelObj2D {
public:
    // settings: the command's (not owned).
    NMVelmarFragment2D(IVel5Application* app5, IVel7Application* app7, INMClient* client, int32_t macroReference,
                       bool isSpecActive, NMAllSettings* settings);
    ~NMVelmarFragment2D() override;

    // Each starts with InsertFragment; a clipboard without a group is "Can't read group from clip".
    void CreateNewGroup() override;
    void CreateNewMacroInGroup() override;
    void CreateNewMacro() override;

    // The part's drawing as a group on Velmar's clipboard.
    void InsertFragment();
    // The fragment's document variables from the part variables that have a value; the others keep the
    // library's. A value that is no number is DataConvertError.
    void Instantiate(long fragment, IVel5Document2D* document);

private:
    long ReadClipboardGroup();
    // The clipboard group becomes the new macro's contents; a macro that cannot take it is deleted and
    // "Can't create macro object" thrown.
    void FillNewMacro(long clipboardGroup);
    void CollectDrawing(IVel5Document2D* document);
    bool Admits(IVel5Document2D* document, long object, long type);
};
