#include "positioning/round_edge_panel.h"

#include "core/com_convert.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/geometry_queries.h"
#include "hostapi/selection_tests.h"
#include "hostapi/vtable_call.h"

namespace {

constexpr long kEdgeButton = 9003;

} // namespace

RoundEdgePanel::RoundEdgePanel(IVel5Application* application5, IVel7Application* application7, NMElemPos* caller,
                               bool editMode, uint32_t helpId)
    : PositioningPanel(application5, application7, caller, editMode, helpId)
{
    TraceScope scope(L":RoundEdgePanel");
    BuildShown([&] {
        StartMate.iface = Working->iStartPlane;
        CylinderMate.iface = Item().iCylFace;
        // The round edge's button fills the start surface's field.
        const std::wstring hint = Translate(L"Выбрать круглое ребро");
        const IVel7ButtonsPtr button = AddSelectButton(9103, hint, hint);
        const IVel7SelectFieldPtr field = AddSelectField(9104, Translate(L"Начальная поверхность"));
        Edge = std::make_unique<VelPPButton>(&StartMate, field, button);
        CylinderField = AddSelectField(9106, Translate(L"Цилиндрическая поверхность"));
        Edge->SetChecked(true);
        ShowCaptions();
        HighlightFaces();
    });
}

RoundEdgePanel::~RoundEdgePanel() = default;

void RoundEdgePanel::ShowCaptions()
{
    Edge->UpdateCaption();
    V7Call(CylinderField, &IVel7Control::put_Value, _variant_t(SelectedObjectName(CylinderMate.iface).c_str()));
}

void RoundEdgePanel::HighlightFaces()
{
    Highlight(StartMate.iface, true);
    Highlight(CylinderMate.iface, true);
    UpdatePrompt();
}

BOOL RoundEdgePanel::SelectFilter(IDispatch* object)
{
    const IVel5EntityPtr entity = QueryHostOrNull<IVel5Entity>(object);
    if (!entity || IsAPI7SelectionAvailable(entity, HighlightSwitch()) || !Edge->IsChecked() ||
        !IsType7WithFlag9(entity, HighlightSwitch()))
        return FALSE;
    IVel5EntityPtr planar;
    IVel5EntityPtr cylindrical;
    return GetEdgeCircle(entity, planar, cylindrical) != 0 && AllowsCylinder(cylindrical);
}

BOOL RoundEdgePanel::SelectCallback(IDispatch* object, LONG_PTR)
{
    TraceScope scope(L"RoundEdgePanel::SelectCallback");
    const IVel5EntityPtr entity = QueryHostOrNull<IVel5Entity>(object);
    if (!entity) {
        HighlightFaces();
        return FALSE;
    }
    IVel5EntityPtr planar;
    IVel5EntityPtr cylindrical;
    if (GetEdgeCircle(entity, planar, cylindrical) == 0)
        return FALSE;
    HighlightSet = 1;
    Working->iStartPlane = SetSelectedObject(StartMate, planar);
    Item().iCylFace = SetSelectedObject(CylinderMate, cylindrical);
    ShowCaptions();
    HighlightFaces();
    return TRUE;
}

VARIANT_BOOL RoundEdgePanel::ControlCommand(IDispatch*, long buttonId)
{
    if (buttonId == kEdgeButton)
        UpdatePrompt();
    return VARIANT_FALSE;
}

VARIANT_BOOL RoundEdgePanel::ProcessActivate()
{
    InitHeader();
    HighlightFaces();
    return VARIANT_FALSE;
}

VARIANT_BOOL RoundEdgePanel::IsComplete()
{
    return StartMate.iface && Item().iCylFace ? VARIANT_TRUE : VARIANT_FALSE;
}

void RoundEdgePanel::UpdatePrompt()
{
    PromptWords.clear();
    // "наружнее" is the translation key as it always was; a language file shows it right.
    AddPromptWord(ByCylinders(L"круглое ребро", L"внутреннее круглое ребро", L"наружнее круглое ребро"), Edge->IsChecked());
    ShowPrompt();
}
