#include "positioning/hole_panel.h"

#include "core/plane_geometry.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/geometry_queries.h"
#include "hostapi/selection_tests.h"
#include "hostapi/vtable_call.h"

namespace {

constexpr uint32_t kHelpId = 825;
enum : long { kStartButton = 9004, kEndButton = 9005, kCylinderButton = 9006, kOkButton = 1 };

IVel5EntityPtr EntityOf(IDispatch* object)
{
    return QueryHostOrNull<IVel5Entity>(object);
}

} // namespace

HolePanel::HolePanel(IVel5Application* application5, IVel7Application* application7, NMElemPos* caller, bool editMode)
    : PositioningPanel(application5, application7, caller, editMode, kHelpId)
{
    TraceScope scope(L":HolePanel");
    BuildShown([&] {
        StartMate.iface = Working->iStartPlane;
        EndMate.iface = Working->iEndPlane;
        Start = AddSelection(StartMate, 9104, L"Выбрать начальную поверхность", L"Начальная поверхность");
        End = AddSelection(EndMate, 9105, L"Выбрать конечную поверхность", L"Конечная поверхность");
        Working->item_idx = 0;
        if (EditMode) {
            CylinderMate.iface = Item().iCylFace;
            Cylinder = AddSelection(CylinderMate, 9106, L"Выбрать цилиндрическую поверхность", L"Цилиндрическая поверхность");
        } else {
            Cylinder = AddSelection(CylinderMate, 9106, L"Выбрать цилиндрическую поверхность", nullptr);
            HoleList = AddList(9501, Translate(L"Список отверстий"), L"");
        }
        Working->RecreateGeom(Item(), EditMode);
        SetButtonStates();
        Refresh();
    });
}

HolePanel::~HolePanel() = default;

void HolePanel::SetButtonStates()
{
    Start->SetChecked(!StartMate.iface);
    End->SetChecked(!EndMate.iface && !Start->IsChecked());
    Cylinder->SetChecked(true);
}

void HolePanel::Refresh()
{
    Start->UpdateCaption();
    End->UpdateCaption();
    if (EditMode) {
        Cylinder->UpdateCaption();
    } else {
        V7Call(HoleList, &IVel7HoleList::Clear);
        for (const ElemPos& item : Working->Items)
            if (item.iCylFace)
                V7Call(HoleList, &IVel7HoleList::AddRow, _bstr_t(SelectedObjectName(item.iCylFace).c_str()));
    }
    HighlightAll();
    UpdatePrompt();
}

void HolePanel::HighlightAll()
{
    HighlightSet = 1;
    HighlightObject(StartMate.iface);
    HighlightObject(EndMate.iface);
    if (EditMode) {
        HighlightObject(CylinderMate.iface);
        return;
    }
    for (const ElemPos& item : Working->Items)
        HighlightObject(item.iCylFace);
}

BOOL HolePanel::SelectFilter(IDispatch* object)
{
    const IVel5EntityPtr entity = EntityOf(object);
    if (!entity || IsAPI7SelectionAvailable(entity, HighlightSwitch()))
        return FALSE;
    if (Start->IsChecked()) {
        if (IsFaceVariant1(entity, HighlightSwitch()))
            return TRUE;
        if (IsEntityType18or553(entity, HighlightSwitch())) {
            HighlightSet = 0;
            return TRUE;
        }
    }
    if (End->IsChecked() && (IsFaceWithSurfaceFlag(entity, HighlightSwitch()) || IsPlaneEntity(entity, HighlightSwitch())))
        return TRUE;
    if (Cylinder->IsChecked() && IsFaceVariant3(entity, HighlightSwitch()) && !IsCylindricalFace(entity)) {
        // All holes of one element have one radius: the edited hole's, or the first listed one's.
        const IVel5EntityPtr model = EntityOf(EditMode ? Item().iCylFace : Working->Item(0).iCylFace);
        return !model || IsEqualRel(GetCylinderParam1(entity), GetCylinderParam1(model), 1e-6);
    }
    return FALSE;
}

bool HolePanel::IsHeldSurface(IDispatch* object)
{
    return SameHostObject(object, EndMate.iface) || SameHostObject(object, StartMate.iface);
}

BOOL HolePanel::SelectCallback(IDispatch* object, LONG_PTR)
{
    TraceScope scope(L"HolePanel::SelectCallback");
    const IVel5EntityPtr entity = EntityOf(object);
    if (!entity) {
        HighlightAll();
        UpdatePrompt();
        return FALSE;
    }
    if (Start->IsChecked() && (IsFaceVariant1(entity, HighlightSwitch()) || IsEntityType18or553(entity, HighlightSwitch()))) {
        if (IsHeldSurface(object))
            return FALSE;
        Working->iStartPlane = SetSelectedObject(StartMate, object);
        if (Working->Item(0).iCylFace)
            Working->RecreateGeom(Working->Item(0), EditMode);
        Start->SetChecked(false);
        End->SetChecked(!EndMate.iface);
        Refresh();
        return TRUE;
    }
    if (End->IsChecked() && (IsPlaneEntity(entity, HighlightSwitch()) || IsFaceWithSurfaceFlag(entity, HighlightSwitch()))) {
        if (IsHeldSurface(object))
            return FALSE;
        Working->iEndPlane = SetSelectedObject(EndMate, object);
        End->SetChecked(false);
        Start->SetChecked(!StartMate.iface);
        Refresh();
        return TRUE;
    }
    if (IsFaceVariant3(entity, HighlightSwitch())) {
        TakeHoleFace(object);
        Refresh();
        return TRUE;
    }
    return FALSE;
}

void HolePanel::TakeHoleFace(IDispatch* face)
{
    if (EditMode) {
        Item().iCylFace = SetSelectedObject(CylinderMate, face);
        Working->RecreateGeom(Item(), EditMode);
        return;
    }
    ElemPos sample;
    sample.iCylFace = face;
    const long found = Working->FindItem(sample);
    if (found >= 0) {
        // A listed hole picked again leaves the list; the last one is only emptied, so that one record stays.
        UnhighlightObject(face);
        if (Working->Items.size() < 2) {
            Working->DeleteGeom(Item());
            Item().iCylFace = nullptr;
        } else {
            Working->RemoveItem(static_cast<size_t>(found));
            // OK measures the first hole's preview against the end surface: a hole that moved up to
            // first place gets the preview it never had as a further hole.
            ElemPos& first = Working->Item(0);
            if (found == 0 && first.iCylFace)
                Working->RecreateGeom(first, EditMode);
        }
    } else if (Item().iCylFace) {
        // A further hole: its element is built from the references, it gets no preview of its own.
        ElemPos& added = Working->Items.emplace_back();
        added.iCylFace = face;
        Working->item_idx = Working->Items.size() - 1;
    } else {
        Item().iCylFace = face;
        Working->RecreateGeom(Item(), EditMode);
    }
}

VARIANT_BOOL HolePanel::ControlCommand(IDispatch*, long buttonId)
{
    TraceScope scope(L"HolePanel::ControlCommand");
    scope.Value(L"id", buttonId);
    switch (buttonId) {
    case kStartButton:
        End->SetChecked(!EndMate.iface && !Start->IsChecked());
        UpdatePrompt();
        break;
    case kEndButton:
        Start->SetChecked(!StartMate.iface && !End->IsChecked());
        UpdatePrompt();
        break;
    case kCylinderButton:
        UpdatePrompt();
        break;
    default:
        break;
    }
    return VARIANT_FALSE;
}

VARIANT_BOOL HolePanel::ButtonClick(long buttonId)
{
    if (buttonId != kOkButton)
        return PositioningPanel::ButtonClick(buttonId);
    TraceScope scope(L"HolePanel::ButtonClick");
    if (EndSurfaceIsMet())
        return VARIANT_TRUE;
    HighlightAll();
    UpdatePrompt();
    return VARIANT_FALSE;
}

VARIANT_BOOL HolePanel::ProcessActivate()
{
    InitHeader();
    SetButtonStates();
    Refresh();
    HighlightAll();
    UpdatePrompt();
    return VARIANT_FALSE;
}

VARIANT_BOOL HolePanel::IsComplete()
{
    return StartMate.iface && EndMate.iface && Item().iCylFace ? VARIANT_TRUE : VARIANT_FALSE;
}

void HolePanel::UpdatePrompt()
{
    PromptWords.clear();
    AddPromptWord(Translate(L"начальную поверхность"), Start->IsChecked());
    AddPromptWord(Translate(L"конечную поверхность"), End->IsChecked());
    AddPromptWord(Translate(L"цилиндрическую поверхность"), Cylinder->IsChecked());
    ShowPrompt();
}
