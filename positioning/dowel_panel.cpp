#include "positioning/dowel_panel.h"

#include "core/plane_geometry.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/selection_tests.h"
#include "hostapi/vtable_call.h"

namespace {

constexpr double kFar = 1e7;
enum : long {
    kStartButton = 9004, kCylinderButton = 9006, kGuideButton = 9017, kForward = 9018, kReverse = 9019,
    kAngleSpin = 9110, kDistanceSpin = 9111,
};

// A record's A is the code of its mating direction: -1 forward, 0 reverse.
constexpr double kForwardCode = -1.0;
constexpr double kReverseCode = 0.0;

} // namespace

DowelPanel::DowelPanel(IVel5Application* application5, IVel7Application* application7, NMElemPos* caller, bool editMode,
                       uint32_t helpId)
    : PositioningPanel(application5, application7, caller, editMode, helpId)
{
    TraceScope scope(L":DowelPanel");
    BuildShown([&] {
        const ElemPos& item = Item();
        StartMate.iface = Working->iStartPlane;
        // The start's direction is the record's own from the start: a new record (A = 0) is reversed.
        StartMate.Direction = IsEqualRel(item.A, kForwardCode, 1e-6) ? 1 : -1;
        CylinderMate.iface = item.iCylFace;
        GuideMate.iface = item.iDirObj;
        Start = AddSelection(StartMate, 9104, L"Выбрать начальную поверхность", L"Начальная поверхность");
        const std::wstring distance = Translate(L"Расстояние");
        const IVel7SpinEditPtr distanceSpin = AddSpinEdit(kDistanceSpin, distance, distance, Translate(L"Задать расстояние"), item.X, 0, kFar);
        const std::wstring choose = Translate(L"Выберите направление сопряжения");
        const IVel7ButtonsPtr directions =
            AddDirectionButtons(9118, {Translate(L"Прямое направление"), Translate(L"Обратное направление")}, {choose, choose});
        Distance = std::make_unique<VelPPSpinDirEdit>(&StartMate, distanceSpin, directions);
        AddGroupTitle(L"", true);
        Cylinder = AddSelection(CylinderMate, 9106, L"Выбрать цилиндрическую поверхность", L"Цилиндрическая поверхность");
        if (positioning_modes::IsTurnable(Working->PosMode)) {
            const std::wstring angle = Translate(L"Угол поворота");
            Angle = AddSpinEdit(kAngleSpin, angle, angle, Translate(L"Задать угол поворота"), item.Y, 0, 360.0);
            Guide = AddSelection(GuideMate, 9117, L"Направляющий объект", L"Направляющий объект");
        }
        Working->RecreateGeom(Item(), EditMode);
        SetButtonStates();
        Refresh();
    });
}

DowelPanel::~DowelPanel() = default;

void DowelPanel::SetButtonStates()
{
    Start->SetChecked(true);
    Cylinder->SetChecked(true);
    if (Guide)
        Guide->SetChecked(true);
    Distance->RefreshDirection();
}

void DowelPanel::Refresh()
{
    Start->UpdateCaption();
    Cylinder->UpdateCaption();
    Distance->RefreshDirection();
    if (Guide) {
        Guide->SetEnabled(StartMate.iface && CylinderMate.iface);
        // The model may have found a guiding object by itself.
        GuideMate.iface = Item().iDirObj;
        Guide->UpdateCaption();
    }
    MoveAndHighlight();
}

void DowelPanel::MoveAndHighlight()
{
    ElemPos& item = Item();
    Working->ApplyPosition(item);
    Highlight(StartMate.iface, true);
    Highlight(CylinderMate.iface, true);
    Distance->SetValue(item.X);
    if (Guide) {
        V7Call(Angle, &IVel7Control::put_Value, _variant_t(item.Y));
        Highlight(item.iDirObj, false);
    }
    UpdatePrompt();
}

BOOL DowelPanel::SelectFilter(IDispatch* object)
{
    const IVel5EntityPtr entity = QueryHostOrNull<IVel5Entity>(object);
    if (!entity || IsAPI7SelectionAvailable(entity, HighlightSwitch()))
        return FALSE;
    if (Start->IsChecked() && IsFaceVariant1(entity, HighlightSwitch()))
        return TRUE;
    if (Cylinder->IsChecked() && IsFaceVariant3(entity, HighlightSwitch()) && AllowsCylinder(entity))
        return TRUE;
    if (Guide && Guide->IsChecked() && IsAxisEntity(entity, HighlightSwitch())) {
        HighlightSet = 0;
        return TRUE;
    }
    return FALSE;
}

BOOL DowelPanel::SelectCallback(IDispatch* object, LONG_PTR)
{
    TraceScope scope(L"DowelPanel::SelectCallback");
    const IVel5EntityPtr entity = QueryHostOrNull<IVel5Entity>(object);
    if (!entity) {
        MoveAndHighlight();
        return FALSE;
    }
    ElemPos& item = Item();
    if (Start->IsChecked() && IsFaceVariant1(entity, HighlightSwitch())) {
        Working->iStartPlane = SetSelectedObject(StartMate, object);
        Working->RecreateGeom(item, EditMode);
        Refresh();
        Distance->RefreshDirection();
        return TRUE;
    }
    if (Cylinder->IsChecked() && IsFaceVariant3(entity, HighlightSwitch())) {
        item.iCylFace = SetSelectedObject(CylinderMate, object);
        Working->RecreateGeom(item, EditMode);
        Refresh();
        return TRUE;
    }
    if (Guide && Guide->IsChecked() && Working->IsDirObjAccepted(object)) {
        item.iDirObj = SetSelectedObject(GuideMate, object);
        Working->RecreateGeom(item, EditMode);
        Refresh();
        return TRUE;
    }
    return FALSE;
}

VARIANT_BOOL DowelPanel::ChangeControlValue(IDispatch* control)
{
    TraceScope scope(L"DowelPanel::ChangeControlValue");
    const long id = ControlId(control);
    scope.Value(L"id", id);
    if (id == kAngleSpin)
        Item().Y = ControlNumber(control);
    else if (id == kDistanceSpin)
        Item().X = ControlNumber(control);
    MoveAndHighlight();
    return VARIANT_FALSE;
}

VARIANT_BOOL DowelPanel::ControlCommand(IDispatch*, long buttonId)
{
    TraceScope scope(L"DowelPanel::ControlCommand");
    scope.Value(L"id", buttonId);
    switch (buttonId) {
    case kStartButton:
    case kCylinderButton:
    case kGuideButton:
        UpdatePrompt();
        break;
    case kForward:
    case kReverse:
        Item().A = buttonId == kForward ? kForwardCode : kReverseCode;
        StartMate.Direction = buttonId == kForward ? 1 : -1;
        Refresh();
        break;
    default:
        break;
    }
    return VARIANT_FALSE;
}

VARIANT_BOOL DowelPanel::ProcessActivate()
{
    InitHeader();
    SetButtonStates();
    Refresh();
    return VARIANT_FALSE;
}

VARIANT_BOOL DowelPanel::IsComplete()
{
    const ElemPos& item = Item();
    return StartMate.iface && item.iCylFace && (!Guide || item.iDirObj) ? VARIANT_TRUE : VARIANT_FALSE;
}

void DowelPanel::UpdatePrompt()
{
    PromptWords.clear();
    AddPromptWord(Translate(L"плоскую грань"), Start->IsChecked());
    AddPromptWord(ByCylinders(L"цилиндрическую поверхность", L"внутреннюю цилиндрическую поверхность",
                              L"наружную цилиндрическую поверхность"),
                  Cylinder->IsChecked());
    if (Guide)
        AddPromptWord(Translate(L"направляющий объект"), Guide->IsChecked());
    ShowPrompt();
}
