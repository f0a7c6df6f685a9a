#pragma once
// A standard part in a drawing whose drawing is made by its VBScript part script. The script runs with
// Velmar's applications ("Velmar", "VelApp"), the drawing ("Doc") and a RAZadi object ("RAZadi"), whose
// text goes to the trace log after the run, also when the script fails. Whatever the script draws
// lands in the macro or group opened for it.
#include "insert2d/nm_vel_obj_2d.h"

class NMVelmarScript2D : public NMVelObj2D {
public:
    // settings: the command's (not owned).
    NMVelmarScript2D(IVel5Application* app5, IVel7Application* app7, INMClient* client, int32_t macroReference,
                     bool isSpecActive, NMAllSettings* settings);
    ~NMVelmarScript2D() override;

    void CreateNewGroup() override;
    void CreateNewMacroInGroup() override;
    void CreateNewMacro() override;

    // Runs the part script NM_Path + NM_Body; a missing file is BadResponse "File \"...\" not exists" and
    // starts no engine.
    void InsertScript();
};
