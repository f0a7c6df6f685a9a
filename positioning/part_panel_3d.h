#pragma once
// "Вставка детали": the panel in which the user places a component model with the mates its named
// geometry proposes. For each proposed mate the user picks the assembly's geometry and its direction;
// the chosen mates are applied to the part being placed at once, and the bill-of-materials options are set
// in the command's settings. The result is what the panel wrote into the mate set and the settings.
#include "insert3d/velmar_mate_set.h"
#include "objects/all_settings.h"
#include "positioning/pp_buttons.h"
#include "positioning/pp_check_list.h"
#include "positioning/vel_base_panel_3d.h"

#include <memory>

class PartPanel3D : public VelBasePanel3D {
public:
    // pageCaption: the part's name; createSpc: whether a bill-of-materials object can be made for it, which
    // shows the spc options; requestInfo: the request of the part's placement.
    PartPanel3D(IVel5Application* application5, IVel7Application* application7, const std::wstring& pageCaption,
                NMAllSettings* settings, bool createSpc, VelmarMateSet* mates, IVel5PlacementInfo* requestInfo);
    ~PartPanel3D() override;

    VARIANT_BOOL ChangeControlValue(IDispatch* control) override;
    VARIANT_BOOL ControlCommand(IDispatch* control, long buttonId) override;
    VARIANT_BOOL IsComplete() override { return VARIANT_TRUE; }
    BOOL SelectFilter(IDispatch* object) override;
    BOOL SelectCallback(IDispatch* object, LONG_PTR argument) override;
    void UpdatePrompt() override;

private:
    std::unique_ptr<VelPPTxtDirButton> AddMateSection(VelmarMateRole role, long toggleId, const wchar_t* toggleCaption,
                                                      const wchar_t* toggleHint, long selectId, const wchar_t* selectCaption,
                                                      const wchar_t* selectHint, const wchar_t* fieldCaption, long directionsId);
    void ArmInitially();
    void Refresh();
    void ApplyMates(bool show);
    // The attach point's and the cone's select buttons exclude each other.
    void ChooseAttachPoint();
    void ChooseCone();
    // Of coincidence, coaxiality and parallelism only the chosen one stays checked.
    void KeepOnlyChecked(VelPPTxtDirButton* chosen);
    // Whether an object may be taken as an axis: a cylindrical or conical face, an axis, a straight edge.
    bool IsAxisLike(IVel5Entity* entity);
    // Whether the entity belongs to the part this panel places (copies placed before it are other parts).
    bool IsOnPlacedPart(IVel5Entity* entity);
    VelmarMate& Member(VelmarMateRole role) { return MateSet->Members[role]; }

    NMAllSettings* Settings;
    VelmarMateSet* MateSet;
    IVel5PartPtr PlacedPart;                     // the request's part: the copy being placed
    std::unique_ptr<VelPPTxtDirButton> Coincidence;
    std::unique_ptr<VelPPTxtDirButton> Coaxiality;
    std::unique_ptr<VelPPTxtDirButton> Parallelism;
    std::unique_ptr<VelPPButton> AttachPoint;
    std::unique_ptr<VelPPTxtDirButton> Cone;
    std::unique_ptr<VelPPCheckList> SpcControls;
};

namespace testhooks {
// The attach-point preference back to its start (1: the attach point is armed first).
void ResetAttachPointPreference() noexcept;
} // namespace testhooks
