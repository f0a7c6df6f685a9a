// The 3D controller's find and replace: the find panel runs again and again over one finder, and the
// controller carries out what its buttons asked for.
#include "library/velmar_normset_3d.h"

#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/host_window.h"
#include "insert3d/nm_velmar_model_3d.h"
#include "insert3d/nm_velmar_tcs_3d.h"
#include "objects/bad_response.h"
#include "objects/nm_vel_obj_elem_3d.h"
#include "tools/find_panel_3d.h"
#include "tools/finder_3d.h"

namespace {

constexpr int32_t kPartDocument = 4;
constexpr long kInformation = 64;

// The part the reference book answered can take the place of an object of the finder's kind.
bool IsOfKind(const NMObject* part, uint32_t type)
{
    switch (type) {
    case NMObjPart:
        return dynamic_cast<const NMVelmarModel3D*>(part) != nullptr;
    case NMObjElement:
        return dynamic_cast<const NMVelmarElement3D*>(part) != nullptr;
    case NMObjTCS:
        return dynamic_cast<const NMVelmarTCS3D*>(part) != nullptr;
    default:
        return false;
    }
}

const wchar_t* KindExpected(uint32_t type)
{
    switch (type) {
    case NMObjElement:
        return L"Выберите конструктивный элемент: он заменит найденный.";
    case NMObjTCS:
        return L"Выберите крепежное соединение: оно заменит найденное.";
    default:
        return L"Выберите стандартное изделие: оно заменит найденное.";
    }
}

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
    if (!ChooseAnyReplacement(finder))
        return false;
    if (IsOfKind(CurrentPart.get(), finder.Type))
        return true;
    // A part of another kind cannot take the object's place: it is no choice, and the user is told what is.
    scope.WriteLine(L"The answer is of another kind");
    ClearPart();
    HostMessageBox(iApp7, Translate(KindExpected(finder.Type)), kInformation);
    return false;
}

bool VelmarNormset3D::ChooseAnyReplacement(Finder& finder)
{
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
    // The command of an earlier answer is not sent again (a measure command would be run first).
    command = 0;
    SelectEx();
    // An answer that asks for a positioning is no choice.
    if (command != 0 || IsNoInstances || !m_iResponse)
        return false;
    LoadResponse();
    return true;
}
