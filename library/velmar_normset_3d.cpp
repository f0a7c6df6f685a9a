#include "library/velmar_normset_3d.h"

#include "core/com_convert.h"
#include "core/display_name.h"
#include "core/format_string.h"
#include "core/modal_seam.h"
#include "core/paths.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/host_guards.h"
#include "hostapi/host_version.h"
#include "hostapi/interface_bridge.h"
#include "hostapi/scope_exit.h"
#include "hostapi/vtable_call.h"
#include "insert3d/nm_velmar_element_3d.h"
#include "insert3d/nm_velmar_model_3d.h"
#include "insert3d/nm_velmar_tcs_3d.h"
#include "objects/bad_response.h"
#include "objects/cant_create_spc_obj.h"
#include "objects/nm_vel_obj_elem_3d.h"
#include "positioning/dowel_panel.h"
#include "positioning/hole_panel.h"
#include "positioning/round_edge_panel.h"
#include "positioning/thread_panel.h"
#include "positioning/two_planes_panel.h"
#include "tools/nm_measure_3d.h"

#include <cwchar>
#include <new>

namespace {

constexpr int32_t kSpcDocument = 3;
constexpr int32_t kPartDocument = 4;
constexpr int32_t kAssembly = 5;
constexpr int32_t kAssembly7 = 7;
constexpr long kShowsSpc = 2;
constexpr short kMacroElement = 63;
// The checks' questions: Yes and No with the exclamation icon.
constexpr UINT kQuestionStyle = 0x34;

const wchar_t kNotAnyDocument[] =
    L"Активный документ не является сборкой, деталью, фрагментом, чертежом или спецификацией.";

std::int64_t Address(IUnknown* object)
{
    return reinterpret_cast<std::int64_t>(object);
}

bool IsAssembly(int32_t type)
{
    return type == kAssembly || type == kAssembly7;
}

bool Is3DDocument(int32_t type)
{
    return type == kPartDocument || IsAssembly(type);
}

[[noreturn]] void Refuse(const wchar_t* text)
{
    throw _bstr_t(Translate(text).c_str());
}

} // namespace

VelmarNormset3D::VelmarNormset3D(IVel5Application* app5, IVel7Application* app7, INMClient* client, uint32_t command,
                                 int32_t docType, ExternalLocation external)
    : VelmarNormset(app5, app7, client, command, docType, external)
{
    TraceScope scope(L":VelmarNormset3D");
    iDoc5 = ObjectAs<IVel5Document3D>(V5Method(iApp5, IVel5Application::ActiveDocument3D));
    iDoc7 = QueryHostOrNull<IVel7Document3D>(V7Get(iApp7, &IVel7Application::get_ActiveDocument));
    IsSpecificationActive = DocType == kSpcDocument ||
                            (iDoc5 && !static_cast<bool>(V5Method(iDoc5, IVel5Document3D::Flag6)) && IsSpecificationMode());
    SetDefaultMask();
    scope.Hex(L"iDoc5", Address(iDoc5));
    scope.Hex(L"iDoc7", Address(iDoc7));
    scope.Value(L"IsSpecificationActive", IsSpecificationActive);
}

VelmarNormset3D::~VelmarNormset3D()
{
    try {
        TraceScope scope(L"~VelmarNormset3D");
        ClearElemPos();
    } catch (...) {
        // The positioning model keeps its own failures inside; the members release themselves.
    }
}

bool VelmarNormset3D::IsSpecificationMode()
{
    return static_cast<long>(V5Method(iDoc5, IVel5Document3D::ViewMode)) == kShowsSpc;
}

void VelmarNormset3D::SetDefaultMask()
{
    TraceScope scope(L"VelmarNormset3D::SetDefaultMask");
    mask = 0;
    if (DocType == kPartDocument && HostVersion < kHostVersion1500)
        mask |= 0x3400;
    mask |= IsSpecificationActive ? 0x800 : 0x1F;
    scope.Hex(L"mask", mask);
}

void VelmarNormset3D::CorrectMask(int aNMObjType)
{
    TraceScope scope(L"VelmarNormset3D::CorrectMask");
    scope.Value(L"aNMObjType", _variant_t(static_cast<long>(aNMObjType)));
    scope.Hex(L"mask", mask);
    switch (aNMObjType) {
    case 0:
        mask |= 0x100;
        break;
    case 1:
        mask |= 0x3400;
        break;
    case 2:
        mask |= 0x2C00;
        break;
    default:
        break;
    }
    scope.Hex(L"mask", mask);
}

void VelmarNormset3D::SetReselectMask()
{
    mask |= 0x2400;
    mask |= BstrToWString(location).compare(0, 3, L"TKR") == 0 ? 0x800 : 0x1000;
}

void VelmarNormset3D::ClearReselectMask()
{
    mask &= ~0x3C00u;
}

void VelmarNormset3D::AskOrRollBack(const std::wstring& question)
{
    if (!AskYesNo(hwndOwner, question, LibraryDisplayName(), kQuestionStyle))
        throw std::wstring();
}

void VelmarNormset3D::CheckRecalcMode()
{
    if (!Is3DDocument(DocType) || IsSpecificationMode())
        return;
    if (V7Get(iDoc7, &IVel7Document3D::get_RecalcDimensions) == VARIANT_FALSE)
        return;
    AskOrRollBack(Translate(L"Для работы со Справочником необходимо отказаться от режима пересчета размеров.\r\n"
                            L"Выключить режим пересчета размеров?"));
    V7Call(iDoc7, &IVel7Document3D::put_RecalcDimensions, VARIANT_FALSE);
}

void VelmarNormset3D::CheckDocumentValidForInsert()
{
    TraceScope scope(L"VelmarNormset3D::CheckDocumentValidForInsert");
    if (DocType != kSpcDocument && !Is3DDocument(DocType))
        Refuse(kNotAnyDocument);
    if (DocType == kPartDocument && IsSpecificationMode())
        Refuse(HostVersion < kHostVersion1500
                   ? L"Активный документ не является сборкой, фрагментом, чертежом или спецификацией."
                   : kNotAnyDocument);
    if (HostVersion >= kHostVersion1400)
        CheckRecalcMode();
    if (IsAssembly(DocType) && !IsSpecificationMode() && static_cast<bool>(V5Get(iDoc5, IVel5Document3D::Exploded))) {
        AskOrRollBack(Translate(L"Для работы со Справочником необходимо отказаться от разнесения компонентов сборки.\r\n"
                                L"Включить режим обычного отображения сборки?"));
        V5Put(iDoc5, IVel5Document3D::Exploded, false);
    }
    if (HostVersion < kHostVersion1500 && iDoc5) {
        const IVel5PartPtr edited =
            ObjectAs<IVel5Part>(V5Method(iDoc5, IVel5Document3D::PartByCode, static_cast<long>(VelPartEditedInPlace)));
        if (edited && static_cast<bool>(V5Method(edited, IVel5Part::EditedInPlace))) {
            const std::wstring name = VariantToWString(V5Get(edited, IVel5Part::Name));
            AskOrRollBack(FormatString(Translate(L"Вызов справочника \"Нормсет\" завершит редактирование на месте компонента "
                                                 L"\"%s\".\r\nВы действительно хотите продолжить?"),
                                       name.c_str()));
            V5Method(edited, IVel5Part::EndEditInPlace, true);
        }
    }
}

void VelmarNormset3D::CheckDocumentValidForFind()
{
    TraceScope scope(L"VelmarNormset3D::CheckDocumentValidForFind");
    if (HostVersion >= kHostVersion1400)
        CheckRecalcMode();
    if (!Is3DDocument(DocType) || (IsAssembly(DocType) && IsSpecificationMode()))
        Refuse(L"Активный документ не является сборкой, деталью, фрагментом или чертежом.");
}

void VelmarNormset3D::Prepare()
{
    TraceScope scope(L"VelmarNormset3D::Prepare");
    if (!iDoc5)
        return;
    iEdPrt = ObjectAs<IVel5Part>(V5Method(iDoc5, IVel5Document3D::PartByCode, static_cast<long>(VelPartSelected)));
    iEdMcr = ObjectAs<IVel5Entity>(V5Method(iDoc5, IVel5Document3D::SelectedMacro));
    if (iEdPrt) {
        iEdPrt = QueryHostOrNull<IVel5Part>(CollectMacroObjects(iApp5, iEdPrt));
        const IVel5EntityPtr macro = iEdPrt ? GetMacroFromAPI7Object(iEdPrt) : nullptr;
        if (macro && GetEntityType(macro) == kMacroElement) {
            // A part of a fastener set stands for the whole set.
            const NMVelObjElem3D set(iApp5, iApp7, iNMClient, macro, false, false);
            if (set.IsTCS) {
                iEdPrt = nullptr;
                iEdMcr = macro;
            }
        }
    }
    PrepareToEdit();
}

void VelmarNormset3D::PrepareToEdit()
{
    TraceScope scope(L"VelmarNormset3D::PrepareToEdit");
    scope.Hex(L"iEdPrt", Address(iEdPrt));
    scope.Hex(L"iEdMcr", Address(iEdMcr));
    if (iEdPrt) {
        const NMVelObjModel3D part(iApp5, iApp7, iNMClient, iEdPrt, false);
        location = part.NM_ID.c_str();
        CorrectMask(0);
        state = StateReselect;
    }
    if (iEdMcr) {
        NMVelObjElem3D element(iApp5, iApp7, iEdMcr);
        if (!element.IsNMObject) {
            const std::wstring name = VariantToWString(V5Get(iEdMcr, IVel5Entity::Name));
            throw _bstr_t(FormatString(Translate(L"Вы не можете отредактировать элемент \"%s\" в текущем документе.\r\n"
                                                 L"Откройте документ, в котором был создан этот элемент, и выполните "
                                                 L"редактирование."),
                                       name.c_str())
                              .c_str());
        }
        PrepateToEditElement(element);
    }
    scope.String(L"location", BstrToWString(location));
}

void VelmarNormset3D::PrepateToEditElement(NMVelObjElem3D& element)
{
    TraceScope scope(L"VelmarNormset3D::PrepateToEditElement");
    location = element.NM_ID.c_str();
    CorrectMask(element.IsElement ? 1 : 2);
    ClearElemPos();
    elem_pos = NMElemPos::Clone(element.elem_pos.get());
    if (elem_pos)
        PosMode = elem_pos->PosMode;
    scope.Value(L"PosMode", _variant_t(static_cast<long>(PosMode)));
    org_command = 0;
    org_location = location;
    state = StateReposition;
}

void VelmarNormset3D::PrepareExt(const std::wstring& text)
{
    TraceScope scope(L"VelmarNormset3D::PrepareExt");
    location = text.c_str();
}

void VelmarNormset3D::ClearElemPos()
{
    TraceScope scope(L"VelmarNormset3D::ClearElemPos");
    elem_pos.reset();
}

void VelmarNormset3D::CreatePart(const std::wstring& methodBody)
{
    TraceScope scope(L"VelmarNormset3D::CreatePart");
    scope.String(L"nm_body", methodBody);
    if (methodBody.empty()) {
        CurrentPart = std::make_unique<NMVelmarTCS3D>(iApp5, iApp7, iNMClient, iEdMcr, elem_pos.get(), org_location, location,
                                                      IsSpecificationActive, &Settings);
        return;
    }
    if (_wcsicmp(GetFileExt(methodBody).c_str(), L".vbs") == 0) {
        // An edited element moves in place only while the reference book kept the location it was given.
        if (elem_pos && elem_pos->isMove)
            elem_pos->isMove = BstrToWString(saved_location) == BstrToWString(location);
        CurrentPart = std::make_unique<NMVelmarElement3D>(iApp5, iApp7, iNMClient, iEdMcr, elem_pos.get(), org_location,
                                                          location, IsSpecificationActive);
        return;
    }
    CurrentPart = std::make_unique<NMVelmarModel3D>(iApp5, iApp7, iNMClient, iEdPrt, IsSpecificationActive, &Settings);
}

int VelmarNormset3D::Apply()
{
    TraceScope scope(L"VelmarNormset3D::Apply");
    if (state == StatePosition)
        return InsertElement();
    const int result = Normset::Apply();
    // The edited element has had its edit: an element this controller positions next starts from its
    // own positioning mode, neither from the edited one's model nor bracketed as it.
    if (iEdMcr) {
        iEdMcr = nullptr;
        ClearElemPos();
    }
    return result;
}

NMVelmarModel3D* VelmarNormset3D::LoadComponentModel(INMResponse* response)
{
    // Another program's insertion inserts anew: what the user selected is neither read nor touched.
    LoadResponse(response);
    return dynamic_cast<NMVelmarModel3D*>(CurrentPart.get());
}

IDispatchPtr VelmarNormset3D::InsertPartSilent(INMResponse* response, IVel5Placement* placement)
{
    NMVelmarModel3D* model = LoadComponentModel(response);
    if (!model)
        return nullptr;
    try {
        model->InsertSilent(nullptr, placement);
    } catch (const CantCreateSpcObj&) {
        model->ShowSpcObjectCreateError();
    }
    return QueryHostOrNull<IDispatch>(model->iPrt5);
}

IDispatchPtr VelmarNormset3D::InsertPartFast(INMResponse* response)
{
    NMVelmarModel3D* model = LoadComponentModel(response);
    if (!model)
        return nullptr;
    model->InsertFast();
    return QueryHostOrNull<IDispatch>(model->iPrt5);
}

bool VelmarNormset3D::Positioning()
{
    TraceScope scope(L"VelmarNormset3D::Positioning");
    return Positioning13();
}

bool VelmarNormset3D::Positioning13()
{
    TraceScope scope(L"VelmarNormset3D::Positioning13");
    UndoContainerGuard undo(iDoc5, iDoc7);
    return Positioning12();
}

void VelmarNormset3D::InitElemPos()
{
    if (!elem_pos) {
        elem_pos = NMElemPos::Create(iApp5, iApp7, PosMode);
        if (!elem_pos)
            throw std::bad_alloc();
    } else if (iEdMcr) {
        ClearElemPos();
        const NMVelObjElem3D element(iApp5, iApp7, iNMClient, iEdMcr, false, false);
        elem_pos = NMElemPos::Clone(element.elem_pos.get());
    }
}

namespace {

// The panel of the model's mode, named in the trace as the mode's test; none for a mode without one.
std::unique_ptr<VelBasePanel3D> PanelFor(IVel5Application* app5, IVel7Application* app7, NMElemPos& model, bool edit,
                                         TraceScope& scope)
{
    if (model.IsHoleMode()) {
        scope.WriteLine(L"elem_pos->IsHoleMode()");
        return std::make_unique<HolePanel>(app5, app7, &model, edit);
    }
    if (model.IsTwoPlanesMode()) {
        scope.WriteLine(L"elem_pos->IsTwoPlanesMode()");
        return std::make_unique<TwoPlanesPanel>(app5, app7, &model, edit, model.PosMode == 0 ? 820 : 815);
    }
    if (const int32_t helpId = model.IsDowelMode()) {
        scope.WriteLine(L"elem_pos->IsDowelMode()");
        return std::make_unique<DowelPanel>(app5, app7, &model, edit, helpId);
    }
    if (model.IsRoundEdgeMode()) {
        scope.WriteLine(L"elem_pos->IsRoundEdgeMode()");
        return std::make_unique<RoundEdgePanel>(app5, app7, &model, edit, 850);
    }
    if (model.IsThreadMode()) {
        scope.WriteLine(L"elem_pos->IsThreadMode()");
        return std::make_unique<ThreadPanel>(app5, app7, &model, edit, 855);
    }
    return nullptr;
}

} // namespace

bool VelmarNormset3D::Positioning12()
{
    TraceScope scope(L"VelmarNormset3D::Positioning12");
    InitElemPos();
    bool accepted = false;
    {
        DocumentStateGuard current(iDoc5, iEdMcr);
        const bool edit = state == StateReposition;
        if (elem_pos) {
            if (std::unique_ptr<VelBasePanel3D> panel = PanelFor(iApp5, iApp7, *elem_pos, edit, scope))
                accepted = panel->Run();
        }
        if (accepted)
            PosLocation();
        else
            ClearElemPos();
    }
    V5Method(iApp5, IVel5Application::Refresh);
    scope.Value(L"res", accepted);
    return accepted;
}

void VelmarNormset3D::PosLocation()
{
    TraceScope scope(L"VelmarNormset3D::PosLocation");
    scope.String(L"org_location", BstrToWString(org_location));
    if (elem_pos)
        location = elem_pos->PosLocation(BstrToWString(org_location)).c_str();
    scope.String(L"location", BstrToWString(location));
}

int VelmarNormset3D::InsertElement()
{
    TraceScope scope(L"VelmarNormset3D::InsertElement");
    do {
        if (!CurrentPart)
            throw BadResponse(L"No part created");
        CurrentPart->Apply();
        if (elem_pos && elem_pos->PosMode >= 0 && elem_pos->PosMode <= 2)
            elem_pos->ClearItems();
        SelectElement();
        // No new element came back: the one just built is never built again.
        if (!m_iResponse)
            break;
        LoadResponse();
    } while (command == 0);
    state = StateSelect;
    const int result = command == -2 ? 0 : 1;
    scope.Value(L"res", _variant_t(static_cast<long>(result)));
    return result;
}

void VelmarNormset3D::Repositioning()
{
    TraceScope scope(L"VelmarNormset3D::Repositioning");
    UndoContainerGuard undo(iDoc5, iDoc7);
    RepositioningOne();
}

void VelmarNormset3D::RepositioningOne()
{
    TraceScope scope(L"VelmarNormset3D::RepositioningOne");
    V7Call(iApp7, &IVel7Application::put_EditSwitch, VARIANT_TRUE);
    ScopeExitApi7Slot25Off editSwitch(iApp7);
    {
        DocumentStateGuard current(iDoc5, RequireHost(iEdMcr));
        {
            NMVelObjElem3D element(iApp5, iApp7, iNMClient, iEdMcr, false, false);
            PrepateToEditElement(element);
        }
        PosLocation();
    }
    V5Method(iDoc5, IVel5Document3D::Rebuild);
    editSwitch.Restore();
}

std::wstring VelmarNormset3D::Measure()
{
    TraceScope scope(L"VelmarNormset3D::Measure");
    return MeasureOnce<NMMeasure3D>(iApp5, static_cast<uint8_t>(command & 0xFF));
}

void VelmarNormset3D::CheckDocumentValidForCreateSpcObjs()
{
    TraceScope scope(L"VelmarNormset3D::CheckDocumentValidForCreateSpcObjs");
    if (HostVersion >= kHostVersion1400)
        CheckRecalcMode();
    if (DocType != kSpcDocument && !IsAssembly(DocType))
        Refuse(L"Активный документ не является сборкой, фрагментом, чертежом или спецификацией.");
    if (!Settings.CreateSpcObject)
        Refuse(L"При текущей настройке параметров работы со стандартными изделиями запрещено создавать объекты "
               L"спецификации.\r\nДля изменения текущей настройки вызовите из главного меню ВЕЛМАР-3D команду "
               L"\"Библиотеки - Нормсет - Настройки\".");
}

void VelmarNormset3D::CheckDocumentValidForRelink()
{
    TraceScope scope(L"VelmarNormset3D::CheckDocumentValidForRelink");
    if (HostVersion >= kHostVersion1400)
        CheckRecalcMode();
    // The type is asked first: a bill-of-materials document has no 3D document to ask for its view.
    const bool from1500 = HostVersion >= kHostVersion1500;
    if (!(from1500 ? Is3DDocument(DocType) : IsAssembly(DocType)) || IsSpecificationMode())
        Refuse(from1500 ? L"Активный документ не является сборкой или деталью." : L"Активный документ не является сборкой.");
}

void VelmarNormset3D::CheckDocumentValidForClone()
{
    TraceScope scope(L"VelmarNormset3D::CheckDocumentValidForClone");
    CheckDocumentValidForRelink();
}
