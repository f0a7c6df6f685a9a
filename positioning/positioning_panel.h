#pragma once
// The base of the panels that position a constructive element: the page "Позиционирование" under the
// header "Панель позиционирования", a working copy of the caller's positioning model that every pick
// changes, and the caller's model, which takes the copy only when the user accepts.
#include "positioning/nm_elem_pos.h"
#include "positioning/pp_buttons.h"
#include "positioning/vel_base_panel_3d.h"

#include <memory>

class PositioningPanel : public VelBasePanel3D {
public:
    // caller: the model the panel writes back into (E_POINTER when null).
    PositioningPanel(IVel5Application* application5, IVel7Application* application7, NMElemPos* caller, bool editMode,
                     uint32_t helpId);
    ~PositioningPanel() override;

    // The working copy's previews go, then the caller's, and the caller takes the copy.
    void OnAccepted() override;

    NMElemPos& Model() { return *Working; }

protected:
    // Builds the panel's controls and first picture; a failure takes back what it highlighted (no run
    // will clear the highlight sets of a panel never built) and is raised on.
    template <class Build>
    void BuildShown(Build&& build)
    {
        try {
            build();
        } catch (...) {
            ClearHighlightSets();
            throw;
        }
    }
    void ClearHighlightSets() noexcept;
    ElemPos& Item() { return Working->CurrentItem(); }
    // A select button (its hint its caption too) and, unless fieldCaption is null, its select field,
    // kept in step with the record.
    std::unique_ptr<VelPPButton> AddSelection(PosPanelMate& record, long id, const wchar_t* hint, const wchar_t* fieldCaption);
    // Highlighted in the first set (faces) or the second (edges, axes, construction objects).
    void Highlight(IDispatch* object, bool firstSet);
    // The OK check of the panels with an end surface: the first record's axis must meet it, else the
    // user is told and the panel stays open.
    bool EndSurfaceIsMet();
    // A cylindrical face (or the face of a round edge or thread) the mode allows: outer faces for a convex
    // one, inner faces for a concave one.
    bool AllowsCylinder(IVel5Entity* face);
    // The id, and the value as a number, of a control Velmar reports.
    static long ControlId(IDispatch* control);
    static double ControlNumber(IDispatch* control);
    // The translated word of the mode's cylinders: both kinds, inner only, outer only.
    std::wstring ByCylinders(const wchar_t* both, const wchar_t* inner, const wchar_t* outer);

    std::unique_ptr<NMElemPos> Working;
    NMElemPos* Caller;
    bool EditMode;
};
