#pragma once
// A distance or angle typed into a spin edit, with the pair of direction buttons of the selection it is
// measured from.
#include "insert3d/velmar_mate.h"
#include "hostapi/velmar7.h"

#include <cstdint>

class VelPPSpinDirEdit {
public:
    // The forward button's id is the direction collection's control id less 100, the reverse one's that
    // plus 1.
    VelPPSpinDirEdit(PosPanelMate* record, IVel7SpinEdit* spin, IVel7Buttons* directions);
    virtual ~VelPPSpinDirEdit() = default;
    VelPPSpinDirEdit(const VelPPSpinDirEdit&) = delete;
    VelPPSpinDirEdit& operator=(const VelPPSpinDirEdit&) = delete;

    // The pair is enabled while the record holds an object; then its direction 1 checks forward, any
    // other reverse.
    void RefreshDirection();
    void SetValue(double value);

private:
    PosPanelMate* Mate;
    IVel7SpinEditPtr iSpin;
    IVel7ButtonsPtr iDirections;
    uint32_t ForwardId;
    uint32_t ReverseId;
};
