// The 3D controller's find and replace: the find panel runs again and again over one finder, and the
// controller carries out what its buttons asked for.
#include "library/velmar_normset_3d.h"

#include "core/trace_log.h"
#include "insert3d/nm_velmar_model_3d.h"
#include "objects/bad_response.h"
#include "objects/nm_vel_obj_elem_3d.h"
#include "tools/find_panel_3d.h"
#include "tools/finder_3d.h"

namespace {

constexpr int32_t kPartDocument = 4;

} // namespace

void VelmarNormset3D::FindAndReplace()
{
    TraceScope scope(L"VelmarNormset3D::FindAndReplace");
    Finder3D finder(hwndOwner, this, DocType == kPartDocument ? NMObjElement : NMObjPart, false, false);
    FindAndReplaceLoop(finder, [&] { FindPanel3D(iApp5, iApp7, &finder).Run(); }, [&] { return ChooseReplacement(finder); });
}

bool VelmarNormset3D::ChooseReplacement(Finder& finder)
{
    TraceScope scope(L"VelmarNormset3D::ChooseReplacement");
    SetDefaultMask();
    if (finder.Type == NMObjPart) {
        auto* model = dynamic_cast<NMVelmarModel3D*>(finder.GetNMObj());
        if (!model)
            return false;
        iEdPrt = model->iPrt5;
        iEdMcr = nullptr;
        PrepareToEdit();
        return SelectReplacement();
    }
    auto* element = dynamic_cast<NMVelObjElem3D*>(finder.GetNMObj());
    if (!element)
        return false;
    iEdPrt = nullptr;
    iEdMcr = element->iMacro;
    Repositioning();
    SelectEx();
    // An answer that asks for a positioning is no choice.
    if (command != 0 || IsNoInstances || !m_iResponse)
        return false;
    LoadResponse();
    return true;
}
