#pragma once
// The base of the 3D panels: Velmar's selection process in the active 3D document, with the library's
// exported callbacks registered on the request info and two highlight sets for what the user picked.
#include "insert3d/velmar_mate.h"
#include "positioning/vel_base_panel.h"

#include <cstdint>

class VelBasePanel3D : public VelBasePanel {
public:
    // requestInfo: the request of a placement under way; null makes one for the document's top part.
    VelBasePanel3D(IVel5Application* application5, IVel7Application* application7, const std::wstring& headerCaption,
                   const std::wstring& pageCaption, uint32_t processMode, IVel5PlacementInfo* requestInfo,
                   uint32_t helpId, bool headerStyle);
    ~VelBasePanel3D() override;

    // The selection process; both highlight sets are cleared afterwards, whatever happened.
    bool Run() override;

    // Adds to or removes from the highlight set the switch chooses; nothing for null.
    void HighlightObject(IDispatch* object);
    void UnhighlightObject(IDispatch* object);
    // Removes from both highlight sets; nothing for null.
    void UnhighlightEverywhere(IDispatch* object);
    // The record's object is replaced (its highlight goes from both sets) and highlighted; picking the record's own object again empties a
    // record that allows it. Gives what the record holds afterwards.
    IDispatchPtr SetSelectedObject(PosPanelMate& record, IDispatch* object);

protected:
    void EndProcess() override;
    // The prompt of the words collected (BuildPrompt) into the request info, and Velmar shows it.
    void ShowPrompt();
    // Where the selection tests put their highlight flag: non-zero uses the first highlight set.
    short* HighlightSwitch() { return reinterpret_cast<short*>(&HighlightSet); }

    uint16_t HighlightSet = 0;
    IVel5Document3DPtr iDoc;
    IVel5PartPtr iTopPart;
    IVel5PlacementInfoPtr iRequestInfo;
    IVel5SelectionPtr iSelection1;
    IVel5SelectionPtr iSelection2;
    uint32_t ProcessMode;
};
