#pragma once
// The base of every library object in a Velmar 3D document (a part or an assembly): the active 3D
// document and its top part in both layers. A part script that fails while it builds an element is
// undone in Velmar and reported to the user as a warning instead of failing the command.
#include "objects/nm_vel_obj.h"

#include <functional>

class NMVelObj3D : public NMVelObj {
public:
    // A null application raises E_POINTER. A document or part Velmar does not give in the form asked
    // for leaves that member null.
    NMVelObj3D(IVel5Application* app5, IVel7Application* app7, INMClient* client, bool isSpecActive);
    ~NMVelObj3D() override;

    // NMVelObj::Apply; a script error is undone and warned about, and the state is returned as usual.
    uint32_t Apply() override;
    // Only an edited object reuses its spc object.
    bool CanUseOldSpcObj(const SpcDocContext& context) override;

    // Velmar's own undo of the last undo step (application 109 with 57643 and false), traced; true when
    // Velmar says it undid something. Failures raise.
    bool UndoLastStep(TraceScope& scope);

    IVel5Document3DPtr iDoc5;
    IVel7Document3DPtr iDoc7;
    IVel5PartPtr iTopPart5;
    IVel7PartPtr iTopPart7;
    // Where the object lies in a fastener set it is a member of.
    NMTCSData TCSData;

protected:
    // Runs one step of the document's undo (the step's UndoDisabledGuard lies inside `step`). Once the
    // step has changed the document (MarkChanged), a failure other than a script error takes the step
    // back in Velmar before it leaves; a script error is left to Apply, which takes it back itself.
    void UndoableStep(const std::function<void()>& step);
    void MarkChanged() { changed_ = true; }
    // What was counted as a change turned out to have built nothing.
    void ForgetChange() { changed_ = false; }

private:
    bool changed_ = false;
};
