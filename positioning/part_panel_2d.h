#pragma once
// "Вставка детали" for a part placed in a drawing: the panel beside Velmar's placement with the cursor.
// It sets whether the part gets a spc object and by which preset (straight into the command's
// settings, so that a cancelled placement keeps them) and what happens to the position leader, which it
// remembers for the next placement in the registry. The caller reads X, Y, Angle and LeaderMode after
// the run.
#include "objects/all_settings.h"
#include "positioning/pp_check_list.h"
#include "positioning/vel_base_panel_2d.h"

#include <cstdint>
#include <memory>

class PartPanel2D : public VelBasePanel2D {
public:
    // LeaderMode values: a new leader, one that exists, none.
    static constexpr uint32_t LeaderNew = 0;
    static constexpr uint32_t LeaderExisting = 1;
    static constexpr uint32_t LeaderNone = 2;

    // pageCaption: the part's name; settings: the command's, written by the panel (E_POINTER when null);
    // isTCS: the part is a fastener set, whose leader follows the assembly leader setting;
    // placementInfo and placedObject: the caller's request and phantom.
    PartPanel2D(IVel5Application* application5, IVel7Application* application7, const std::wstring& pageCaption,
                NMAllSettings* settings, bool isTCS, IDispatch* placementInfo, IDispatch* placedObject);
    ~PartPanel2D() override;

    VARIANT_BOOL ChangeControlValue(IDispatch* control) override;
    VARIANT_BOOL ControlCommand(IDispatch*, long) override { return VARIANT_FALSE; }
    VARIANT_BOOL IsComplete() override { return VARIANT_TRUE; }
    // The placement shows no prompt of the panel.
    void UpdatePrompt() override { PromptWords.clear(); }
    // Remembers the leader mode when the panel stores it; a registry that refuses is no failure.
    void OnAccepted() override;

    uint32_t LeaderMode = LeaderNew;

private:
    NMAllSettings* Settings;
    bool StoreLeaderMode = true;
    std::unique_ptr<VelPPCheckList> SpcControls;
    IVel7ComboBoxPtr LeaderModes;
};

// The leader mode the registry remembers: a REG_DWORD from 0 to 2, else LeaderNew.
uint32_t StoredLeaderMode();
