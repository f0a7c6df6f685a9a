#include "positioning/two_planes_panel.h"

#include "core/com_convert.h"
#include "core/number_text.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/host_window.h"
#include "hostapi/selection_tests.h"
#include "hostapi/vtable_call.h"

#include <cmath>

namespace {

constexpr double kFar = 1e7;
constexpr short kFaceType = 6;
constexpr short kPointType = 8;
// A start face with so few edges is likely a round end: its round edge is the natural centre.
constexpr long kFewEdges = 3;
// The combo box's setting 37 for the point list (Velmar's value).
constexpr long kPointComboSetting = 5;

enum : long {
    kEdge1Button = 9001, kEdge2Button = 9002, kRoundEdgeButton = 9003, kStartButton = 9004, kEndButton = 9005,
    kVertexButton = 9007, kAddPoint = 9013, kRemovePoint = 9014, kGuideButton = 9017, kFirstSubMode = 9020,
    kLastSubMode = 9023, kXForward = 9026, kXReverse = 9027, kYForward = 9028, kYReverse = 9029,
    kSpinX = 9110, kSpinY = 9111, kSpinR = 9115, kSpinA = 9116, kPointList = 9313, kOkButton = 1,
};

// The sub-mode buttons' texts; the fourth differs from the name a record keeps.
const wchar_t* const kSubModeButtons[] = {L"По координатам", L"От двух ребер", L"Центр круглого ребра", L"По точке"};

VARIANT_BOOL AsVariantBool(bool value)
{
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

std::vector<std::wstring> Translated(std::initializer_list<const wchar_t*> texts)
{
    std::vector<std::wstring> result;
    for (const wchar_t* text : texts)
        result.push_back(Translate(text));
    return result;
}

} // namespace

TwoPlanesPanel::TwoPlanesPanel(IVel5Application* application5, IVel7Application* application7, NMElemPos* caller,
                               bool editMode, uint32_t helpId)
    : PositioningPanel(application5, application7, caller, editMode, helpId)
{
    TraceScope scope(L":TwoPlanesPanel");
    BuildShown([&] {
        Points();
        StartMate.iface = Working->iStartPlane;
        EndMate.iface = Working->iEndPlane;
        Start = AddSelection(StartMate, 9104, L"Выбрать начальную поверхность", L"Начальная поверхность");
        if (Working->PosMode == 1)
            End = AddSelection(EndMate, 9105, L"Выбрать конечную поверхность", L"Конечная поверхность");
        AddGroupTitle(Translate(EditMode ? L"Точка" : L"Точки"), true);
        if (!EditMode) {
            PointBar = AddButtonBar(9113, Translated({L"Добавить точку", L"Удалить точку"}),
                                    Translated({L"Добавить точку позиционирования", L"Удалить точку позиционирования"}));
            std::vector<std::wstring> rows;
            for (size_t i = 1; i <= Working->Items.size(); ++i)
                rows.push_back(IntToStr(i));
            PointCombo = AddComboBox(kPointList, rows, static_cast<long>(Working->item_idx));
            V7Call(PointCombo, &IVel7Control::put_Caption, _bstr_t(Translate(L"Точки позиционирования").c_str()));
            V7Call(PointCombo, &IVel7Control::put_Hint, _bstr_t(Translate(L"Выбрать точку позиционирования").c_str()));
            V7Call(PointCombo, &IVel7ComboBox::put_Setting37, kPointComboSetting);
            AddGroupTitle(L"", true);
        }
        const std::vector<std::wstring> subModes = Translated({kSubModeButtons[0], kSubModeButtons[1], kSubModeButtons[2], kSubModeButtons[3]});
        SubModes = AddButtonBar(9120, subModes, subModes);
        AddGroupTitle(L"", true);
        const std::vector<std::wstring> directions = Translated({L"Прямое направление", L"Обратное направление"});
        const std::wstring choose = Translate(L"Выберите направление сопряжения");
        Edge1 = AddSelection(Edge1Mate, 9101, L"Выбрать первое ребро", L"Первое ребро");
        SpinX = AddSpinEdit(kSpinX, Translate(L"Координата X"), L"X:", Translate(L"Задать координату X"), 0, -kFar, kFar);
        DirectionsX = AddDirectionButtons(9126, directions, {choose, choose});
        AddGroupTitle(L"", true);
        Edge2 = AddSelection(Edge2Mate, 9102, L"Выбрать второе ребро", L"Второе ребро");
        SpinY = AddSpinEdit(kSpinY, Translate(L"Координата Y"), L"Y:", Translate(L"Задать координату Y"), 0, -kFar, kFar);
        DirectionsY = AddDirectionButtons(9128, directions, {choose, choose});
        RoundEdge = AddSelection(RoundEdgeMate, 9103, L"Выбрать круглое ребро", L"Круглое ребро");
        Vertex = AddSelection(VertexMate, 9107, L"Выбрать точку", L"Точка");
        AddGroupTitle(Translate(L"Полярные координаты"), true);
        SpinR = AddSpinEdit(kSpinR, Translate(L"Полярный радиус"), L"R:", Translate(L"Задать полярный радиус"), 0, 0, kFar);
        SpinA = AddSpinEdit(kSpinA, Translate(L"Полярный угол"), L"A:", Translate(L"Задать полярный угол"), 0, 0, 360.0);
        AddGroupTitle(L"", true);
        Guide = AddSelection(GuideMate, 9117, L"Направляющий объект", L"Направляющий объект");
        LoadItemControls();
        BuildPreviews();
        ProcessActivate();
    });
}

TwoPlanesPanel::~TwoPlanesPanel() = default;

NMElemPosM& TwoPlanesPanel::Points()
{
    auto* model = dynamic_cast<NMElemPosM*>(Working.get());
    // Only the two-planes modes are placed in sketches.
    if (!model)
        throw _com_error(E_INVALIDARG);
    return *model;
}

void TwoPlanesPanel::BuildPreviews()
{
    TraceScope scope(L"TwoPlanesPanel::BuildPreviews");
    try {
        for (ElemPos& item : Working->Items) {
            Working->RecreateGeom(item, EditMode);
            if (item.GetSubModeIndex() < 0 && Working->iStartPlane)
                SetDefaultSubMode(item);
        }
    } catch (const _com_error& error) {
        scope.HResult(L"error", error.Error());
        Reset();
    }
}

void TwoPlanesPanel::Reset()
{
    TraceScope scope(L"TwoPlanesPanel::Reset");
    // Records are dropped only once their previews are gone: nothing of them may stay in the user's part.
    for (ElemPos& item : Working->Items) {
        try {
            Working->DeleteGeom(item);
        } catch (...) {
            TraceCurrentException(L"TwoPlanesPanel::Reset");
        }
    }
    V5Method(iApp5, IVel5Application::Refresh);
    Working->ClearItems();
    Working->iStartPlane = nullptr;
    UnhighlightEverywhere(StartMate.iface);
    StartMate.iface = nullptr;
    LoadItemControls();
}

void TwoPlanesPanel::SetDefaultSubMode(ElemPos& item)
{
    TraceScope scope(L"TwoPlanesPanel::SetDefaultSubMode");
    const wchar_t* name = kSubModeNames[SubModeVertex];
    const IVel5EntityPtr face = QueryHostOrNull<IVel5Entity>(Working->iStartPlane);
    if (face && GetEntityType(face) == kFaceType) {
        std::vector<IVel5EntityPtr> edges;
        const IVel5FaceDefinitionPtr definition = EntityDefinition<IVel5FaceDefinition>(face);
        if (definition)
            WalkHostItems(ObjectAs<IDispatch>(V5Method(definition, IVel5FaceDefinition::Edges)), [&](IDispatch* edge) {
                edges.push_back(QueryHost<IVel5Entity>(edge));
                return true;
            });
        if (static_cast<long>(edges.size()) <= kFewEdges) {
            for (const IVel5EntityPtr& edge : edges) {
                const IVel5EdgeDefinitionPtr edgeDefinition = edge ? EntityDefinition<IVel5EdgeDefinition>(edge) : nullptr;
                if (edgeDefinition && (static_cast<bool>(V5Method(edgeDefinition, IVel5EdgeDefinition::Test8)) ||
                                       static_cast<bool>(V5Method(edgeDefinition, IVel5EdgeDefinition::Test9)))) {
                    item.iCylEdge = edge;
                    if (&item == &Item())
                        RoundEdgeMate.iface = item.iCylEdge;
                    name = kSubModeNames[SubModeRoundEdgeCentre];
                    break;
                }
            }
        }
    }
    scope.String(L"SubMode", name);
    ElemPos& current = Item();
    if (&item == &current) {
        ApplySubMode(name);
    } else {
        item.SubMode = name;
    }
}

void TwoPlanesPanel::ApplySubMode(const wchar_t* name)
{
    ElemPos& item = Item();
    if (BstrToWString(item.SubMode) != name && item.GetSubModeIndex() == SubModeFromTwoEdges) {
        // The distances from the edges are kept for a return; the point stays where they put it.
        item.SavedX = item.X;
        item.SavedY = item.Y;
        if (item.iSketch)
            Points().ReadSketchPoint();
        item.Sign1 = item.Sign2 = 1;
    }
    item.SubMode = name;
    if (item.GetSubModeIndex() == SubModeFromTwoEdges) {
        item.X = item.SavedX;
        item.Y = item.SavedY;
        const CoordinateSigns signs = SignsFromValues(item.X, item.Y);
        item.Sign1 = signs.first;
        item.Sign2 = signs.second;
    }
    SetSubModeControls();
}

void TwoPlanesPanel::ShowSpin(IVel7SpinEdit* spin, double value, bool visible, double low, double high)
{
    V7Call(spin, &IVel7Control::put_Visible, AsVariantBool(visible));
    if (visible)
        V7Call(spin, &IVel7SpinEdit::SetRange, value, low, high);
}

void TwoPlanesPanel::SetSubModeControls()
{
    const ElemPos& item = Item();
    const int subMode = item.GetSubModeIndex();
    const bool byCoordinates = subMode == SubModeByCoordinates;
    const bool fromEdges = subMode == SubModeFromTwoEdges;
    const SpinValues shown = ShownSpins(item.X, item.Y, fromEdges);
    ShowSpin(SpinX, shown.x, byCoordinates || fromEdges, fromEdges ? 0 : -kFar, kFar);
    ShowSpin(SpinY, shown.y, byCoordinates || fromEdges, fromEdges ? 0 : -kFar, kFar);
    Edge1->SetVisible(fromEdges);
    Edge2->SetVisible(fromEdges);
    V7Call(DirectionsX, &IVel7Control::put_Visible, AsVariantBool(fromEdges));
    V7Call(DirectionsY, &IVel7Control::put_Visible, AsVariantBool(fromEdges));
    RoundEdge->SetVisible(subMode == SubModeRoundEdgeCentre);
    Vertex->SetVisible(subMode == SubModeVertex);
    if (fromEdges) {
        Edge1->SetChecked(true);
        Edge2->SetChecked(false);
        Edge1->UpdateCaption();
        Edge2->UpdateCaption();
    } else if (subMode == SubModeRoundEdgeCentre) {
        RoundEdge->SetChecked(true);
        RoundEdge->UpdateCaption();
    } else if (subMode == SubModeVertex) {
        Vertex->SetChecked(true);
        Vertex->UpdateCaption();
    }
}

void TwoPlanesPanel::LoadItemControls()
{
    const ElemPos& item = Item();
    Edge1Mate.iface = item.iEdge1;
    Edge2Mate.iface = item.iEdge2;
    RoundEdgeMate.iface = item.iCylEdge;
    VertexMate.iface = item.iVertex;
    GuideMate.iface = item.iDirObj;
    V7Call(SpinR, &IVel7Control::put_Value, _variant_t(item.R));
    V7Call(SpinA, &IVel7Control::put_Value, _variant_t(item.A));
}

void TwoPlanesPanel::ReadCoordinateSpins()
{
    ElemPos& item = Item();
    const SpinReading reading = ReadSpins(ControlNumber(SpinX), ControlNumber(SpinY), {item.Sign1, item.Sign2});
    item.X = reading.X;
    item.Y = reading.Y;
}

void TwoPlanesPanel::ShowDirections(IVel7Buttons* pair, int16_t sign)
{
    const long forward = V7Get(pair, &IVel7Control::get_Id) - 100;
    V7Call(pair, &IVel7Buttons::SetChecked, forward, AsVariantBool(sign == 1));
    V7Call(pair, &IVel7Buttons::SetChecked, forward + 1, AsVariantBool(sign != 1));
}

void TwoPlanesPanel::Refresh()
{
    Start->UpdateCaption();
    if (End)
        End->UpdateCaption();
    const bool started = static_cast<bool>(StartMate.iface);
    if (!EditMode) {
        V7Call(PointBar, &IVel7Control::put_Enabled, AsVariantBool(started));
        EnableGroupButton(PointBar, IsComplete() != VARIANT_FALSE, 0);
        EnableGroupButton(PointBar, Working->Items.size() > 1, 1);
        V7Call(PointCombo, &IVel7ComboBox::Clear);
        for (size_t i = 1; i <= Working->Items.size(); ++i)
            V7Call(PointCombo, &IVel7ComboBox::AddItem, _bstr_t(IntToStr(i).c_str()));
        V7Call(PointCombo, &IVel7ComboBox::Select, static_cast<long>(Working->item_idx), _variant_t(true));
    }
    ElemPos& item = Item();
    const int subMode = item.GetSubModeIndex();
    V7Call(SubModes, &IVel7Control::put_Enabled, AsVariantBool(started));
    if (subMode >= 0)
        CheckGroupButton(SubModes, subMode);
    GuideMate.iface = item.iDirObj;
    Guide->UpdateCaption();
    Guide->SetEnabled(started);
    Edge1->UpdateCaption();
    Edge2->UpdateCaption();
    RoundEdge->UpdateCaption();
    Vertex->UpdateCaption();
    if (subMode == SubModeByCoordinates || subMode == SubModeFromTwoEdges) {
        const SpinValues shown = ShownSpins(item.X, item.Y, subMode == SubModeFromTwoEdges);
        V7Call(SpinX, &IVel7Control::put_Value, _variant_t(shown.x));
        V7Call(SpinY, &IVel7Control::put_Value, _variant_t(shown.y));
    }
    if (subMode == SubModeFromTwoEdges) {
        ShowDirections(DirectionsX, item.Sign1);
        ShowDirections(DirectionsY, item.Sign2);
    }
    MoveAndHighlight();
}

void TwoPlanesPanel::MoveAndHighlight()
{
    for (ElemPos& item : Working->Items)
        Working->ApplyPosition(item);
    Highlight(StartMate.iface, true);
    Highlight(EndMate.iface, true);
    const ElemPos& item = Item();
    switch (item.GetSubModeIndex()) {
    case SubModeFromTwoEdges:
        Highlight(item.iEdge1, false);
        Highlight(item.iEdge2, false);
        break;
    case SubModeRoundEdgeCentre:
        Highlight(item.iCylEdge, false);
        break;
    case SubModeVertex:
        Highlight(item.iVertex, false);
        break;
    default:
        break;
    }
    Highlight(item.iSketch, false);
    Highlight(item.iDirObj, false);
    UpdatePrompt();
}

VARIANT_BOOL TwoPlanesPanel::ProcessActivate()
{
    InitHeader();
    Start->SetChecked(!StartMate.iface);
    if (End)
        End->SetChecked(!EndMate.iface && !Start->IsChecked());
    SetSubModeControls();
    ElemPos& item = Item();
    CoordinateSigns signs;
    if (EditMode && item.GetSubModeIndex() == SubModeFromTwoEdges)
        signs = SignsFromValues(item.X, item.Y);
    item.Sign1 = signs.first;
    item.Sign2 = signs.second;
    V7Call(SpinR, &IVel7Control::put_Value, _variant_t(item.R));
    V7Call(SpinA, &IVel7Control::put_Value, _variant_t(item.A));
    Guide->SetChecked(true);
    Refresh();
    return VARIANT_FALSE;
}

BOOL TwoPlanesPanel::SelectFilter(IDispatch* object)
{
    const IVel5EntityPtr entity = QueryHostOrNull<IVel5Entity>(object);
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
    if (End && End->IsChecked() && (IsPlaneEntity(entity, HighlightSwitch()) || IsFaceWithSurfaceFlag(entity, HighlightSwitch())))
        return TRUE;
    if (Guide->IsChecked() && IsAxisEntity(entity, HighlightSwitch())) {
        HighlightSet = 0;
        return TRUE;
    }
    if (!StartMate.iface)
        return FALSE;
    auto isOwnPoint = [&] { return Points().IsPreviewPoint(object) != 0; };
    switch (Item().GetSubModeIndex()) {
    case SubModeByCoordinates:
        return (GetEntityType(entity) == kPointType && !isOwnPoint()) || IsType519OrType7Flag(entity, HighlightSwitch());
    case SubModeFromTwoEdges:
        return (Edge1->IsChecked() || Edge2->IsChecked()) && IsType570OrType7WithFlag1(entity, HighlightSwitch()) &&
               Points().IsAuxLineEdge(object) == 0;
    case SubModeRoundEdgeCentre:
        return RoundEdge->IsChecked() && IsType519OrType7Flag(entity, HighlightSwitch());
    case SubModeVertex:
        return Vertex->IsChecked() && GetEntityType(entity) == kPointType && !isOwnPoint() &&
               Points().IsAuxLinePoint(object) == 0;
    default:
        return FALSE;
    }
}

void TwoPlanesPanel::Refuse(const wchar_t* message)
{
    HostMessageBox(iApp7, Translate(message), 48);
    MoveAndHighlight();
}

bool TwoPlanesPanel::TakeEdge(IDispatch* object, bool first)
{
    NMElemPosM& points = Points();
    ElemPos& item = Item();
    if (!points.IsEdgeProjectable(object)) {
        Refuse(L"Вырожденная проекция.");
        return false;
    }
    IDispatch* other = first ? item.iEdge2 : item.iEdge1;
    if (other) {
        const auto lines = points.ProjectEdges(object, other);
        if (!lines) {
            Refuse(L"Вырожденная проекция.");
            return false;
        }
        if (lines->first.IsParallel(lines->second)) {
            Refuse(L"Проекции ребер параллельны.");
            return false;
        }
    }
    VelPPButton& picked = first ? *Edge1 : *Edge2;
    VelPPButton& next = first ? *Edge2 : *Edge1;
    (first ? item.iEdge1 : item.iEdge2) = SetSelectedObject(first ? Edge1Mate : Edge2Mate, object);
    picked.SetChecked(false);
    next.SetChecked(!(first ? item.iEdge2 : item.iEdge1));
    if (item.iEdge1 && item.iEdge2) {
        if (const auto lines = points.ProjectEdges(item.iEdge1, item.iEdge2)) {
            const CoordinateSigns signs = SignsFromEdges(lines->first, lines->second);
            item.Sign1 = signs.first;
            item.Sign2 = signs.second;
        }
        ReadCoordinateSpins();
    }
    Refresh();
    return true;
}

bool TwoPlanesPanel::TakeProjected(IDispatch* object, PosPanelMate* mate, IDispatchPtr ElemPos::*reference)
{
    if (!Points().TakeProjectedPoint(object)) {
        Refuse(L"Вырожденная проекция.");
        return false;
    }
    if (mate)
        Item().*reference = SetSelectedObject(*mate, object);
    Refresh();
    return true;
}

BOOL TwoPlanesPanel::SelectCallback(IDispatch* object, LONG_PTR)
{
    TraceScope scope(L"TwoPlanesPanel::SelectCallback");
    const IVel5EntityPtr entity = QueryHostOrNull<IVel5Entity>(object);
    if (!entity) {
        MoveAndHighlight();
        return FALSE;
    }
    const bool surface = IsPlaneEntity(entity, HighlightSwitch()) || IsFaceWithSurfaceFlag(entity, HighlightSwitch());
    if (surface && (Start->IsChecked() || (End && End->IsChecked()))) {
        if (SameHostObject(object, EndMate.iface) || SameHostObject(object, StartMate.iface))
            return FALSE;
        if (Start->IsChecked()) {
            Working->iStartPlane = SetSelectedObject(StartMate, object);
            BuildPreviews();
            // A surface the previews failed on was dropped with them: the user picks another start.
            const bool started = static_cast<bool>(StartMate.iface);
            Start->SetChecked(!started);
            if (End)
                End->SetChecked(started && !EndMate.iface);
        } else {
            Working->iEndPlane = SetSelectedObject(EndMate, object);
            End->SetChecked(false);
            Start->SetChecked(!StartMate.iface);
        }
        Refresh();
        return TRUE;
    }
    if (Guide->IsChecked() && IsAxisEntity(entity, HighlightSwitch())) {
        if (Working->IsDirObjAccepted(object)) {
            UnhighlightEverywhere(Item().iDirObj);
            Item().iDirObj = object;
            Refresh();
        }
        return TRUE;
    }
    if (StartMate.iface) {
        switch (Item().GetSubModeIndex()) {
        case SubModeFromTwoEdges:
            if (Edge1->IsChecked())
                return TakeEdge(object, true);
            if (Edge2->IsChecked())
                return TakeEdge(object, false);
            break;
        case SubModeRoundEdgeCentre:
            if (RoundEdge->IsChecked())
                return TakeProjected(object, &RoundEdgeMate, &ElemPos::iCylEdge);
            break;
        case SubModeVertex:
            if (Vertex->IsChecked())
                return TakeProjected(object, &VertexMate, &ElemPos::iVertex);
            break;
        case SubModeByCoordinates:
            // A picked point or round edge sets the coordinates; the record keeps no reference to it.
            return TakeProjected(object, nullptr, nullptr);
        default:
            break;
        }
    }
    MoveAndHighlight();
    return FALSE;
}

void TwoPlanesPanel::AddPoint()
{
    TraceScope scope(L"TwoPlanesPanel::AddPoint");
    ElemPos& current = Item();
    current.ClearUnusedRefs(current.GetSubModeIndex());
    V7Call(PointCombo, &IVel7ComboBox::AddItem, _bstr_t(IntToStr(Working->Items.size() + 1).c_str()));
    V7Call(PointCombo, &IVel7ComboBox::Select, static_cast<long>(Working->Items.size()), _variant_t(true));
    const _bstr_t subMode = current.SubMode;
    ElemPos& added = Working->Items.emplace_back();
    added.SubMode = subMode;
    Working->item_idx = Working->Items.size() - 1;
    ShowItem();
}

void TwoPlanesPanel::ChooseItem(long row)
{
    // A row the combo box shows but the records do not hold is no point to choose.
    if (row < 0 || static_cast<size_t>(row) >= Working->Items.size())
        return;
    Working->item_idx = static_cast<size_t>(row);
    ShowItem();
}

void TwoPlanesPanel::ShowItem()
{
    // The point is loaded first: its sub-mode's controls show its own picks, and the first button of
    // its way is armed for the next pick.
    LoadItemControls();
    Working->RecreateGeom(Item(), EditMode);
    if (Item().GetSubModeIndex() < 0 && Working->iStartPlane)
        SetDefaultSubMode(Item());
    else
        SetSubModeControls();
    Refresh();
}

VARIANT_BOOL TwoPlanesPanel::ChangeControlValue(IDispatch* control)
{
    TraceScope scope(L"TwoPlanesPanel::ChangeControlValue");
    const long id = ControlId(control);
    scope.Value(L"id", id);
    switch (id) {
    case kSpinX:
    case kSpinY:
        ReadCoordinateSpins();
        MoveAndHighlight();
        break;
    case kSpinR:
        Item().R = ControlNumber(SpinR);
        MoveAndHighlight();
        break;
    case kSpinA:
        Item().A = ControlNumber(SpinA);
        MoveAndHighlight();
        break;
    case kPointList:
        if (PointCombo) {
            const std::wstring row = VariantToWString(V7Get(PointCombo, &IVel7Control::get_Value));
            ChooseItem(V7Get(PointCombo, &IVel7ComboBox::ItemIndex, _bstr_t(row.c_str())));
        }
        break;
    default:
        break;
    }
    return VARIANT_FALSE;
}

VARIANT_BOOL TwoPlanesPanel::ControlCommand(IDispatch*, long buttonId)
{
    if (buttonId < kEdge1Button || buttonId > kYReverse)
        return VARIANT_FALSE;
    TraceScope scope(L"TwoPlanesPanel::ControlCommand");
    scope.Value(L"id", buttonId);
    ElemPos& item = Item();
    switch (buttonId) {
    case kEdge1Button:
        Edge2->SetChecked(false);
        UpdatePrompt();
        break;
    case kEdge2Button:
        Edge1->SetChecked(false);
        UpdatePrompt();
        break;
    case kStartButton:
        if (End)
            End->SetChecked(!EndMate.iface && !Start->IsChecked());
        UpdatePrompt();
        break;
    case kEndButton:
        if (End) {
            Start->SetChecked(!StartMate.iface && !End->IsChecked());
            UpdatePrompt();
        }
        break;
    case kAddPoint:
        if (!EditMode)
            AddPoint();
        break;
    case kRemovePoint:
        // The last point is never removed: a model keeps one record.
        if (!EditMode && Working->Items.size() > 1) {
            Working->RemoveItem(Working->item_idx);
            LoadItemControls();
            SetSubModeControls();
            Refresh();
        }
        break;
    case kXForward:
    case kXReverse:
        item.Sign1 = buttonId == kXForward ? 1 : -1;
        ReadCoordinateSpins();
        MoveAndHighlight();
        break;
    case kYForward:
    case kYReverse:
        item.Sign2 = buttonId == kYForward ? 1 : -1;
        ReadCoordinateSpins();
        MoveAndHighlight();
        break;
    default:
        if (buttonId >= kFirstSubMode && buttonId <= kLastSubMode) {
            ApplySubMode(kSubModeNames[buttonId - kFirstSubMode]);
            Refresh();
        }
        break;
    }
    return VARIANT_FALSE;
}

VARIANT_BOOL TwoPlanesPanel::ButtonClick(long buttonId)
{
    if (buttonId != kOkButton || !End)
        return PositioningPanel::ButtonClick(buttonId);
    TraceScope scope(L"TwoPlanesPanel::ButtonClick");
    if (EndSurfaceIsMet())
        return VARIANT_TRUE;
    MoveAndHighlight();
    return VARIANT_FALSE;
}

VARIANT_BOOL TwoPlanesPanel::IsComplete()
{
    if (!StartMate.iface || (End && !EndMate.iface))
        return VARIANT_FALSE;
    for (const ElemPos& item : Working->Items) {
        switch (item.GetSubModeIndex()) {
        case SubModeFromTwoEdges:
            if (!item.iEdge1 || !item.iEdge2)
                return VARIANT_FALSE;
            break;
        case SubModeRoundEdgeCentre:
            if (!item.iCylEdge)
                return VARIANT_FALSE;
            break;
        case SubModeVertex:
            if (!item.iVertex)
                return VARIANT_FALSE;
            break;
        default:
            break;
        }
    }
    return VARIANT_TRUE;
}

void TwoPlanesPanel::UpdatePrompt()
{
    PromptWords.clear();
    AddPromptWord(Translate(L"начальную поверхность"), Start->IsChecked());
    AddPromptWord(Translate(L"конечную поверхность"), End && End->IsChecked());
    switch (Item().GetSubModeIndex()) {
    case SubModeFromTwoEdges:
        AddPromptWord(Translate(L"первое ребро"), Edge1->IsChecked());
        AddPromptWord(Translate(L"второе ребро"), Edge2->IsChecked());
        break;
    case SubModeRoundEdgeCentre:
        AddPromptWord(Translate(L"круглое ребро"), RoundEdge->IsChecked());
        break;
    case SubModeVertex:
        AddPromptWord(Translate(L"точку"), Vertex->IsChecked());
        break;
    case SubModeByCoordinates:
        AddPromptWord(Translate(L"точку"), true);
        AddPromptWord(Translate(L"круглое ребро"), true);
        break;
    default:
        break;
    }
    AddPromptWord(Translate(L"направляющий объект"), Guide->IsChecked());
    ShowPrompt();
}

void TwoPlanesPanel::OnAccepted()
{
    TraceScope scope(L"TwoPlanesPanel::OnAccepted");
    ElemPos& item = Item();
    item.ClearUnusedRefs(item.GetSubModeIndex());
    Working->DeleteAllGeom();
    if (EditMode) {
        // A point that only moved in its sketch is moved; anything else rebuilds the element.
        const ElemPos& old = Caller->CurrentItem();
        const int subMode = item.GetSubModeIndex();
        const bool sameSurfaces =
            SameHostObject(Working->iStartPlane, Caller->iStartPlane) && SameHostObject(Working->iEndPlane, Caller->iEndPlane);
        const bool sameShift = (item.R <= 0 && old.R <= 0) || (item.R > 0 && old.R > 0 && SameHostObject(item.iDirObj, old.iDirObj));
        bool move = sameSurfaces && subMode == old.GetSubModeIndex() &&
                    (subMode == SubModeByCoordinates || subMode == SubModeFromTwoEdges) && sameShift;
        if (move && subMode == SubModeFromTwoEdges)
            move = SameHostObject(item.iEdge1, old.iEdge1) && SameHostObject(item.iEdge2, old.iEdge2) && item.X > 0 &&
                   item.Y > 0 && old.X > 0 && old.Y > 0;
        Working->isMove = move;
        scope.Value(L"isMove", move);
    }
    Caller->DeleteAllGeom();
    Caller->CopyFrom(*Working);
}
