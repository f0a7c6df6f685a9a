#pragma once
// The finder over a part or an assembly: it walks the top part's features, and the features of the
// macro elements among them, for the components, constructive elements or fastener sets the library
// placed. A fastener set is searched inside only for its member components, a plain macro element always,
// any other library element never.
#include "hostapi/velmar5.h"
#include "tools/finder.h"

class ProgressWnd;
class VelmarNormset3D;

class Finder3D : public Finder {
public:
    // Searches the active 3D document at once. specOnly leaves out components that take no part in the
    // bill of materials.
    Finder3D(HWND hostWindow, VelmarNormset3D* controller, uint32_t aNMObjType, bool aIncludeTCS, bool specOnly);
    ~Finder3D() override;

    void ReplaceAllNMObj() override;
    // Under a progress window: a cancel keeps what was found so far. No document or top part is E_POINTER.
    void FindNMObjs(uint32_t aNMObjType, bool aIncludeTCS) override;
    void GetNMObjUniqNames(uint32_t aNMObjType) override;
    // progress: null for a pass that shows no window.
    void RecursiveFindNMObjs(IVel5FeatureCollection* collection, uint32_t type, bool includeTCS, ProgressWnd* progress);

    IVel5Document3DPtr iDoc5;
    VelmarNormset3D* Controller3D;
    bool SpecOnly;

private:
    void AddFastenerSet(IVel5Entity* macro);
};
