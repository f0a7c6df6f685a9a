#pragma once
// "Создать деталь на базе стандартной": the user picks a component this library placed in the assembly;
// the panel keeps the outermost library part the pick lies in with its identifier and name, for the
// caller to read after an accepted run. The panel itself writes nothing anywhere.
#include "positioning/vel_base_panel_3d.h"

#include <string>

class ClonePanel : public VelBasePanel3D {
public:
    ClonePanel(IVel5Application* application5, IVel7Application* application7);
    ~ClonePanel() override;

    VARIANT_BOOL ChangeControlValue(IDispatch*) override { return VARIANT_FALSE; }
    VARIANT_BOOL ControlCommand(IDispatch*, long) override { return VARIANT_FALSE; }
    VARIANT_BOOL ProcessActivate() override;
    // OK once a library part is chosen.
    VARIANT_BOOL IsComplete() override;
    BOOL SelectFilter(IDispatch* object) override;
    // TRUE whenever a part was found, also one that is not the library's (the choice stays then).
    BOOL SelectCallback(IDispatch* object, LONG_PTR argument) override;
    void UpdatePrompt() override;

    std::wstring NM_ID;
    std::wstring NM_Name;
    IVel5PartPtr Part;

private:
    // The outermost part the library flagged, up from the part, when it carries the library's identity:
    // its identifier and name; null otherwise.
    IVel5PartPtr LibraryPart(IVel5Part* part, std::wstring& id, std::wstring& name);
    // The chosen part highlighted and named in the field, and the prompt shown again.
    void Refresh();

    IVel7SelectFieldPtr field_;
};
