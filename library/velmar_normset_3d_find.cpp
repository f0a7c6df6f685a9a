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
    do {
        {
            FindPanel3D panel(iApp5, iApp7, &finder);
            panel.Run();
        }
        scope.Value(L"Action", _variant_t(static_cast<unsigned long>(finder.Action)));
        switch (finder.Action) {
        case FindChoose:
            ChooseReplacement(finder);
            break;
        case FindReplaceOne:
            finder.ReplaceOneNMObj();
            break;
        case FindReplaceAll:
            finder.ReplaceAllNMObj();
            break;
        default:
            break;
        }
        if (CurrentPart)
            CurrentPart->BeginBatch();
    } while (finder.Action != FindLeave);
}

void VelmarNormset3D::ChooseReplacement(Finder& finder)
{
    TraceScope scope(L"VelmarNormset3D::ChooseReplacement");
    SetDefaultMask();
    bool chosen = false;
    if (finder.Type == NMObjPart) {
        auto* model = dynamic_cast<NMVelmarModel3D*>(finder.GetNMObj());
        if (model) {
            iEdPrt = model->iPrt5;
            iEdMcr = nullptr;
            PrepareToEdit();
            chosen = SelectReplacement();
        }
    } else {
        auto* element = dynamic_cast<NMVelObjElem3D*>(finder.GetNMObj());
        if (element) {
            iEdPrt = nullptr;
            iEdMcr = element->iMacro;
            Repositioning();
            SelectEx();
            if (command == 0 && !IsNoInstances && m_iResponse) {
                LoadResponse();
                chosen = true;
            }
        }
    }
    finder.Action = chosen ? FindChosen : FindNotChosen;
}
