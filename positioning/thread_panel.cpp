#include "positioning/thread_panel.h"

#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/element_queries.h"
#include "hostapi/entity_access.h"
#include "hostapi/geometry_queries.h"
#include "hostapi/interface_bridge.h"
#include "hostapi/selection_tests.h"
#include "objects/nm_vel_obj_elem_3d.h"

namespace {

constexpr short kThread = 58;
constexpr short kEdge = 7;
constexpr short kMacroElement = 63;
enum : long { kStartButton = 9004, kCylinderButton = 9006, kThreadButton = 9008 };

} // namespace

ThreadPanel::ThreadPanel(IVel5Application* application5, IVel7Application* application7, NMElemPos* caller, bool editMode,
                         uint32_t helpId)
    : PositioningPanel(application5, application7, caller, editMode, helpId)
{
    TraceScope scope(L":ThreadPanel");
    BuildShown([&] {
        ThreadMate.iface = Item().iCylEdge;
        StartMate.iface = Working->iStartPlane;
        CylinderMate.iface = Item().iCylFace;
        Thread = AddSelection(ThreadMate, 9108, L"Выбрать резьбу", L"Резьба");
        Start = AddSelection(StartMate, 9104, L"Выбрать начальную поверхность", L"Начальная поверхность");
        Cylinder = AddSelection(CylinderMate, 9106, L"Выбрать цилиндрическую поверхность", L"Цилиндрическая поверхность");
        for (VelPPButton* button : {Thread.get(), Start.get(), Cylinder.get()})
            button->SetChecked(true);
        EnableAndHighlight();
    });
}

ThreadPanel::~ThreadPanel() = default;

void ThreadPanel::EnableAndHighlight()
{
    const bool threaded = static_cast<bool>(ThreadMate.iface);
    Start->SetEnabled(threaded);
    Cylinder->SetEnabled(threaded);
    for (VelPPButton* button : {Thread.get(), Start.get(), Cylinder.get()})
        button->UpdateCaption();
    HighlightAll();
}

void ThreadPanel::HighlightAll()
{
    Highlight(ThreadMate.iface, false);
    Highlight(StartMate.iface, true);
    Highlight(CylinderMate.iface, true);
    UpdatePrompt();
}

BOOL ThreadPanel::SelectFilter(IDispatch* object)
{
    const IVel5EntityPtr entity = QueryHostOrNull<IVel5Entity>(object);
    if (!entity || IsAPI7SelectionAvailable(entity, HighlightSwitch()))
        return FALSE;
    if (Thread->IsChecked() && GetEntityType(entity) == kThread) {
        HighlightSet = 0;
        const bool outer = GetThreadFlag(entity);
        return outer ? Working->IsOuterAllowed() : Working->IsInnerAllowed();
    }
    if (Start->IsChecked() && IsFaceVariant1(entity, HighlightSwitch()))
        return TRUE;
    return Cylinder->IsChecked() && IsFaceVariant3(entity, HighlightSwitch()) && AllowsCylinder(entity);
}

bool ThreadPanel::FacesOfThread(IVel5Entity* thread, IDispatchPtr& start, IDispatchPtr& face)
{
    TraceScope scope(L"ThreadPanel::FacesOfThread");
    // A thread of a library element: the element knows its face and where it started.
    const IVel5EntityPtr owner = GetMacroFromAPI7ObjectEx(thread);
    if (owner && GetEntityType(owner) == kMacroElement) {
        const NMVelObjElem3D element(iApp5, iApp7, nullptr, owner, false, false);
        if (element.IsNMObject && element.elem_pos) {
            scope.WriteLine(L"a library element");
            face = GetEntityDefinitionPart(GetEntityDefinition(owner));
            start = element.elem_pos->iStartPlane;
            return face && start;
        }
    }
    const IVel5ThreadDefinitionPtr definition = EntityDefinition<IVel5ThreadDefinition>(thread);
    const IVel5EntityPtr base = definition ? ObjectAs<IVel5Entity>(V5Method(definition, IVel5ThreadDefinition::Base)) : nullptr;
    if (!base || GetEntityType(base) != kEdge)
        return false;
    IVel5EntityPtr planar;
    IVel5EntityPtr cylindrical;
    if (GetEdgeCircle(base, planar, cylindrical) == 0)
        return false;
    start = planar;
    face = cylindrical;
    return true;
}

BOOL ThreadPanel::SelectCallback(IDispatch* object, LONG_PTR)
{
    TraceScope scope(L"ThreadPanel::SelectCallback");
    const IVel5EntityPtr entity = QueryHostOrNull<IVel5Entity>(object);
    if (!entity) {
        HighlightAll();
        return FALSE;
    }
    ElemPos& item = Item();
    if (Thread->IsChecked() && GetEntityType(entity) == kThread) {
        HighlightSet = 0;
        item.iCylEdge = SetSelectedObject(ThreadMate, object);
        // A thread whose faces cannot be told is kept all the same: the user picks them by hand.
        IDispatchPtr start;
        IDispatchPtr face;
        if (FacesOfThread(entity, start, face)) {
            HighlightSet = 1;
            Working->iStartPlane = SetSelectedObject(StartMate, start);
            item.iCylFace = SetSelectedObject(CylinderMate, face);
        }
    } else if (Start->IsChecked() && IsFaceVariant1(entity, HighlightSwitch())) {
        Working->iStartPlane = SetSelectedObject(StartMate, object);
    } else if (Cylinder->IsChecked() && IsFaceVariant3(entity, HighlightSwitch())) {
        item.iCylFace = SetSelectedObject(CylinderMate, object);
    } else {
        return FALSE;
    }
    EnableAndHighlight();
    return TRUE;
}

VARIANT_BOOL ThreadPanel::ControlCommand(IDispatch*, long buttonId)
{
    if (buttonId == kStartButton || buttonId == kCylinderButton || buttonId == kThreadButton)
        UpdatePrompt();
    return VARIANT_FALSE;
}

VARIANT_BOOL ThreadPanel::ProcessActivate()
{
    InitHeader();
    EnableAndHighlight();
    HighlightAll();
    return VARIANT_FALSE;
}

VARIANT_BOOL ThreadPanel::IsComplete()
{
    return ThreadMate.iface && StartMate.iface && Item().iCylFace ? VARIANT_TRUE : VARIANT_FALSE;
}

void ThreadPanel::UpdatePrompt()
{
    PromptWords.clear();
    AddPromptWord(ByCylinders(L"резьбу", L"внутреннюю резьбу", L"наружную резьбу"), Thread->IsChecked());
    AddPromptWord(ByCylinders(L"цилиндрическую поверхность резьбы", L"внутреннюю цилиндрическую поверхность резьбы",
                              L"наружную цилиндрическую поверхность резьбы"),
                  Cylinder->IsChecked());
    AddPromptWord(Translate(L"начальную поверхность резьбы"), Start->IsChecked());
    ShowPrompt();
}
