#pragma once
// The finder over a drawing or fragment: the macro objects the library placed, at any depth of plain
// macros; a library part's own contents (a fastener set's members) are never searched.
#include "hostapi/velmar5.h"
#include "tools/finder.h"

class VelmarNormset2D;

class Finder2D : public Finder {
public:
    // Searches the active drawing at once for standard parts.
    Finder2D(HWND hostWindow, VelmarNormset2D* controller);
    ~Finder2D() override;

    void ReplaceAllNMObj() override;
    // The whole drawing (group 0); a drawing knows one kind only.
    void FindNMObjs(uint32_t aNMObjType, bool aIncludeTCS) override;
    void GetNMObjUniqNames(uint32_t aNMObjType) override;
    void RecursiveFindNMObjs(int32_t aGrp, bool aIncludeTCS);

    IVel5Document2DPtr iDoc5;
    VelmarNormset2D* Controller2D;
};
