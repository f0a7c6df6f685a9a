#include "positioning/part_panel_3d.h"

#include "core/plane_geometry.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/mate_queries.h"
#include "hostapi/selection_tests.h"
#include "hostapi/vtable_call.h"

namespace {

// Which of the attach point and the cone a new panel arms first: 1 the attach point, 0 the cone. The
// user's last choice holds for the rest of the session.
uint8_t g_attachPointPreference = 1;

constexpr uint32_t kProcessMode = 3;
constexpr uint32_t kHelpId = 66;
constexpr uint32_t kAttachPointHelpId = 86;
constexpr short kCoincidenceOnCylinder = 3;

// Control and button ids.
enum : long {
    kSelectCoincidence = 9030, kSelectCoaxiality = 9031, kSelectParallelism = 9032,
    kSelectAttachPoint = 9035, kSelectCone = 9036,
    kCoincidenceForward = 9040, kCoincidenceReverse = 9041, kCoaxialityForward = 9042, kCoaxialityReverse = 9043,
    kParallelismForward = 9044, kParallelismReverse = 9045, kConeForward = 9046, kConeReverse = 9047,
    kCoincidenceToggle = 9190, kCoaxialityToggle = 9191, kParallelismToggle = 9192, kConeToggle = 9193,
    kCreateSpcCheckBox = 9146, kPresetComboBox = 9147,
};

} // namespace

PartPanel3D::PartPanel3D(IVel5Application* application5, IVel7Application* application7, const std::wstring& pageCaption,
                         NMAllSettings* settings, bool createSpc, VelmarMateSet* mates, IVel5PlacementInfo* requestInfo)
    : VelBasePanel3D(application5, application7, Translate(L"Вставка детали"), pageCaption, kProcessMode, requestInfo,
                     kHelpId, true),
      Settings(settings), MateSet(mates)
{
    TraceScope scope(L":PartPanel3D");
    PlacedPart = ObjectAs<IVel5Part>(V5Method(iRequestInfo, IVel5PlacementInfo::Part));
    if (Member(MateAttachPoint).Used) {
        HelpId = kAttachPointHelpId;
        const std::wstring caption = Translate(L"Задать присоединительную точку");
        const IVel7ButtonsPtr button = AddSelectButton(9135, caption, caption);
        const IVel7SelectFieldPtr field = AddSelectField(9135, Translate(L"Присоединительная точка"));
        AttachPoint = std::make_unique<VelPPButton>(&Member(MateAttachPoint), field, button);
    }
    if (Member(MateCone).Used)
        Cone = AddMateSection(MateCone, kConeToggle, L"Совпадение по конусу", L"Включить выбор элементов для совпадения",
                              9136, L"Задать совпадение по конусу", L"Задать совпадение по конусу",
                              L"Совпадение по конусу", 9146);
    if (Member(MatePlane).Used) {
        Coincidence = AddMateSection(MatePlane, kCoincidenceToggle, L"Совпадение", L"Включить выбор элементов для совпадения",
                                     9130, L"Задать совпадение", L"Включить/выключить выбор элементов для совпадения",
                                     L"Совпадение", 9140);
        AddGroupTitle(L"", true);
    }
    if (Member(MateAxis).Used) {
        Coaxiality = AddMateSection(MateAxis, kCoaxialityToggle, L"Соосность", L"Включить выбор элементов для соосности",
                                    9131, L"Задать соосность", L"Включить/выключить выбор элементов для соосности",
                                    L"Соосность", 9142);
        AddGroupTitle(L"", true);
    }
    if (Member(MateAxisDirection).Used) {
        Parallelism = AddMateSection(MateAxisDirection, kParallelismToggle, L"Параллельность",
                                     L"Включить выбор элементов для параллельности", 9132, L"Задать параллельность",
                                     L"Включить/выключить выбор элементов для параллельности", L"Параллельность", 9144);
        AddGroupTitle(L"", true);
    }
    if (createSpc) {
        const IVel7ControlPtr check = AddCheckBox(kCreateSpcCheckBox, Translate(L"Создавать объект спецификации"),
                                                  Settings->CreateSpcObject);
        const IVel7ComboBoxPtr combo = AddComboBox(kPresetComboBox, Settings->GetPresetNames(),
                                                   static_cast<long>(Settings->ActivePresetIndex()));
        SpcControls = std::make_unique<VelPPCheckList>(check, combo);
    }
    ArmInitially();
}

PartPanel3D::~PartPanel3D() = default;

std::unique_ptr<VelPPTxtDirButton> PartPanel3D::AddMateSection(VelmarMateRole role, long toggleId,
                                                               const wchar_t* toggleCaption, const wchar_t* toggleHint,
                                                               long selectId, const wchar_t* selectCaption,
                                                               const wchar_t* selectHint, const wchar_t* fieldCaption,
                                                               long directionsId)
{
    const IVel7ControlPtr toggle = AddToggle(toggleId, Translate(toggleCaption), Translate(toggleCaption), Translate(toggleHint));
    const IVel7ButtonsPtr select = AddSelectButton(selectId, Translate(selectCaption), Translate(selectHint));
    const IVel7SelectFieldPtr field = AddSelectField(selectId, Translate(fieldCaption));
    const std::wstring choose = Translate(L"Выберите направление сопряжения");
    const IVel7ButtonsPtr directions = AddDirectionButtons(
        directionsId, {Translate(L"Прямое направление"), Translate(L"Обратное направление")}, {choose, choose});
    return std::make_unique<VelPPTxtDirButton>(&Member(role), directions, field, select, toggle);
}

void PartPanel3D::ArmInitially()
{
    if (AttachPoint) {
        AttachPoint->SetChecked(g_attachPointPreference == 1 || !Cone);
        if (Cone) {
            Cone->SetChecked(g_attachPointPreference == 0);
            Member(MateCone).Direction = -1;
        }
    } else {
        Member(MatePlane).Direction = 1;
        Member(MateAxis).Direction = 0;
        Member(MateAxisDirection).Direction = 1;
        if (!Coincidence)
            Member(MateAxis).Direction = -1;
        // Exactly one is armed, also when the selection was cleared with another one checked. Parallelism
        // is armed when neither of the two before it is: a model with only an axis direction would
        // otherwise open with nothing to pick.
        if (Coincidence)
            Coincidence->SetChecked(true);
        if (Coaxiality)
            Coaxiality->SetChecked(!Coincidence);
        if (Parallelism)
            Parallelism->SetChecked(!Coincidence && !Coaxiality);
    }
    Refresh();
}

void PartPanel3D::Refresh()
{
    if (!AttachPoint) {
        if (Coincidence)
            Coincidence->UpdateDirection(true);
        if (Coaxiality)
            Coaxiality->UpdateDirection(!Coincidence ||
                                        (Member(MatePlane).Used && Member(MatePlane).Kind == kCoincidenceOnCylinder));
        if (Parallelism)
            Parallelism->UpdateDirection(true);
    } else {
        AttachPoint->UpdateCaption();
    }
    if (Cone)
        Cone->UpdateDirection(true);
    if (SpcControls)
        SpcControls->SyncEnabled();
    UpdatePrompt();
}

void PartPanel3D::ApplyMates(bool show)
{
    const IVel5MateCollectionPtr mates = ObjectAs<IVel5MateCollection>(V5Method(iRequestInfo, IVel5PlacementInfo::Mates));
    if (mates) {
        V5Method(mates, IVel5MateCollection::RemoveAll);
        auto create = [&](VelmarMateRole role) {
            const VelmarMate& mate = Member(role);
            CreateMate(iDoc, mate.iface, mate.Target, static_cast<short>(mate.Kind), mate.Direction, mates, mate.Value);
        };
        if (AttachPoint) {
            create(MateAttachPoint);
            if (Cone)
                create(MateCone);
        } else {
            if (Coincidence)
                create(MatePlane);
            if (Coaxiality)
                create(MateAxis);
            if (Parallelism)
                create(MateAxisDirection);
        }
    }
    if (show)
        V5Method(iDoc, IVel5Document3D::ShowChanges);
}

void PartPanel3D::ChooseAttachPoint()
{
    g_attachPointPreference = 1;
    if (Cone && Cone->IsChecked()) {
        SetSelectedObject(Member(MateCone), nullptr);
        Cone->SetChecked(false);
        ApplyMates(true);
    }
}

void PartPanel3D::ChooseCone()
{
    if (AttachPoint) {
        SetSelectedObject(Member(MateAttachPoint), nullptr);
        AttachPoint->SetChecked(false);
        ApplyMates(true);
    }
    g_attachPointPreference = 0;
}

void PartPanel3D::KeepOnlyChecked(VelPPTxtDirButton* chosen)
{
    for (VelPPTxtDirButton* section : {Coincidence.get(), Coaxiality.get(), Parallelism.get()})
        if (section && section != chosen && section->IsChecked())
            section->SetChecked(false);
}

VARIANT_BOOL PartPanel3D::ControlCommand(IDispatch*, long buttonId)
{
    TraceScope scope(L"PartPanel3D::ControlCommand");
    scope.Value(L"id", buttonId);
    auto setDirection = [&](VelmarMateRole role, int16_t direction) {
        Member(role).Direction = direction;
        ApplyMates(true);
    };
    auto check = [](VelPPTxtDirButton* section) {
        if (section)
            section->SetChecked(true);
    };
    switch (buttonId) {
    case kSelectAttachPoint: ChooseAttachPoint(); Refresh(); break;
    case kSelectCone: ChooseCone(); Refresh(); break;
    case kSelectCoincidence: KeepOnlyChecked(Coincidence.get()); Refresh(); break;
    case kSelectCoaxiality: KeepOnlyChecked(Coaxiality.get()); Refresh(); break;
    case kSelectParallelism: KeepOnlyChecked(Parallelism.get()); Refresh(); break;
    case kCoincidenceToggle: check(Coincidence.get()); KeepOnlyChecked(Coincidence.get()); Refresh(); break;
    case kCoaxialityToggle: check(Coaxiality.get()); KeepOnlyChecked(Coaxiality.get()); Refresh(); break;
    case kParallelismToggle: check(Parallelism.get()); KeepOnlyChecked(Parallelism.get()); Refresh(); break;
    case kConeToggle: check(Cone.get()); ChooseCone(); Refresh(); break;
    case kCoincidenceForward: setDirection(MatePlane, 1); break;
    case kCoincidenceReverse: setDirection(MatePlane, -1); break;
    case kCoaxialityForward: setDirection(MateAxis, 1); break;
    case kCoaxialityReverse: setDirection(MateAxis, -1); break;
    case kParallelismForward: setDirection(MateAxisDirection, 1); break;
    case kParallelismReverse: setDirection(MateAxisDirection, -1); break;
    case kConeForward: setDirection(MateCone, 1); break;
    case kConeReverse: setDirection(MateCone, -1); break;
    default: break;
    }
    return VARIANT_FALSE;
}

VARIANT_BOOL PartPanel3D::ChangeControlValue(IDispatch* control)
{
    TraceScope scope(L"PartPanel3D::ChangeControlValue");
    if (!SpcControls)
        return VARIANT_FALSE;
    const long id = V7Get(RequireHost(QueryHost<IVel7Control>(control)), &IVel7Control::get_Id);
    scope.Value(L"id", id);
    if (id == kCreateSpcCheckBox) {
        Settings->CreateSpcObject = SpcControls->IsChecked();
        SpcControls->SyncEnabled();
    } else if (id == kPresetComboBox) {
        // A value that is no preset's name leaves the preset as it was.
        const int32_t item = SpcControls->CurrentItem();
        if (item >= 0)
            Settings->SpcPresetNum = item;
    }
    return VARIANT_FALSE;
}

bool PartPanel3D::IsAxisLike(IVel5Entity* entity)
{
    if (IsFaceVariant3(entity, HighlightSwitch()) || IsFaceVariant2(entity, HighlightSwitch()))
        return true;
    if (IsAxisEntity(entity, nullptr) || IsType570OrType7WithFlag1(entity, nullptr)) {
        HighlightSet = 0;
        return true;
    }
    return false;
}

bool PartPanel3D::IsOnPlacedPart(IVel5Entity* entity)
{
    return PlacedPart && SameHostObject(ObjectAs<IVel5Part>(V5Method(entity, IVel5Entity::Part)), PlacedPart);
}

BOOL PartPanel3D::SelectFilter(IDispatch* object)
{
    const IVel5EntityPtr entity = QueryHostOrNull<IVel5Entity>(object);
    // Velmar offers the geometry of the part being placed as well; a mate of the part with itself places
    // nothing.
    if (!entity || IsOnPlacedPart(entity))
        return FALSE;
    const bool bases = MateSet->AttachBasesFlag != 0;
    if (AttachPoint) {
        if (AttachPoint->IsChecked())
            return IsMateOfMacroKind(iApp5, entity, bases) || IsMateEntityOfKind(iApp5, entity, bases);
        if (Cone && Cone->IsChecked())
            return IsFaceVariant2(entity, HighlightSwitch()) && IsEqualRel(GetConeParams(entity), MateSet->ConeValue, 1e-6);
        return FALSE;
    }
    bool accepted = false;
    if (Coincidence && Coincidence->IsChecked())
        accepted = IsFaceWithSurfaceFlag(entity, HighlightSwitch());
    if (!accepted && Coaxiality && Coaxiality->IsChecked())
        accepted = IsAxisLike(entity);
    if (!accepted && Parallelism && Parallelism->IsChecked())
        accepted = IsAxisLike(entity) || IsFaceVariant1(entity, HighlightSwitch());
    return accepted;
}

BOOL PartPanel3D::SelectCallback(IDispatch* object, LONG_PTR)
{
    TraceScope scope(L"PartPanel3D::SelectCallback");
    bool stored = false;
    if (object) {
        const IVel5EntityPtr entity = QueryHostOrNull<IVel5Entity>(object);
        bool taken = false;
        auto take = [&](VelmarMateRole role, IDispatch* picked) {
            taken = true;
            stored = SetSelectedObject(Member(role), picked) != nullptr;
        };
        const bool bases = MateSet->AttachBasesFlag != 0;
        if (!entity) {
            // Velmar offers entities only; anything else is not taken.
        } else if (AttachPoint) {
            if (AttachPoint->IsChecked()) {
                IVel5EntityPtr element = IsMateOfMacroKind(iApp5, entity, bases);
                if (!element)
                    element = IsMateEntityOfKind(iApp5, entity, bases);
                if (element) {
                    HighlightSet = 0;
                    take(MateAttachPoint, element);
                }
            } else if (Cone && Cone->IsChecked()) {
                take(MateCone, EntityDefinition<IVel5FaceDefinition>(entity));
            }
        } else if (Coincidence && Coincidence->IsChecked()) {
            VelmarMate& plane = Member(MatePlane);
            const bool planar = IsFaceVariant1(entity, HighlightSwitch());
            plane.Kind = planar ? 0 : kCoincidenceOnCylinder;
            plane.Direction = planar ? 1 : -1;
            Member(MateAxis).Direction = planar ? 0 : 1;
            take(MatePlane, entity);
        } else if (Coaxiality && Coaxiality->IsChecked()) {
            if (IsAxisLike(entity))
                take(MateAxis, entity);
        } else if (Parallelism && Parallelism->IsChecked()) {
            if (IsAxisLike(entity) || IsFaceVariant1(entity, HighlightSwitch()))
                take(MateAxisDirection, entity);
        }
        if (stored) {
            // The next section without an object is armed, and only it.
            for (VelPPTxtDirButton* section : {Coincidence.get(), Coaxiality.get(), Parallelism.get()}) {
                if (section && !section->Record().iface && !section->IsChecked()) {
                    section->SetChecked(true);
                    KeepOnlyChecked(section);
                    break;
                }
            }
        }
        // A second pick of the same object empties its field: the panel shows that too.
        if (taken)
            Refresh();
    } else {
        for (VelmarMateRole role : {MateAttachPoint, MateCone, MatePlane, MateAxis, MateAxisDirection})
            Member(role).iface = nullptr;
        V5Method(iSelection1, IVel5Selection::Clear);
        V5Method(iSelection2, IVel5Selection::Clear);
        ArmInitially();
    }
    ApplyMates(false);
    scope.Value(L"stored", stored);
    return stored ? TRUE : FALSE;
}

void PartPanel3D::UpdatePrompt()
{
    PromptWords.clear();
    if (AttachPoint) {
        const bool attach = AttachPoint->IsChecked();
        AddPromptWord(Translate(L"присоединительную точку"), attach);
        AddPromptWord(Translate(L"конструктивный элемент"), attach);
        if (Cone)
            AddPromptWord(Translate(L"коническую поверхность"), Cone->IsChecked());
    } else {
        AddPromptWord(Translate(L"грань"), Member(MatePlane).Used && Coincidence && Coincidence->IsChecked());
        const bool axis = (Coaxiality && Coaxiality->IsChecked()) || (Parallelism && Parallelism->IsChecked());
        AddPromptWord(Translate(L"цилиндрическую поверхность"), axis);
        AddPromptWord(Translate(L"ось"), axis);
        AddPromptWord(Translate(L"прямое ребро"), axis);
    }
    AddPromptWord(Translate(L"точку привязки детали"), true);
    ShowPrompt();
}

namespace testhooks {

void ResetAttachPointPreference() noexcept
{
    g_attachPointPreference = 1;
}

} // namespace testhooks
