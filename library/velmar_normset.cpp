#include "library/velmar_normset.h"

#include "core/com_convert.h"
#include "core/files.h"
#include "core/progress_wnd.h"
#include "core/registry.h"
#include "core/translate.h"
#include "core/unique.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/dual_interface.h"
#include "hostapi/host_version.h"
#include "hostapi/host_window.h"
#include "hostapi/interface_bridge.h"
#include "hostapi/vtable_call.h"
#include "objects/batch_loop.h"
#include "hostapi/provider_connection.h"
#include "objects/bad_response.h"
#include "objects/main_settings.h"
#include "tools/finder.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace {

// By document type 0 to 7.
const wchar_t* const kDocumentIds[] = {L"?", L"2D", L"2D", L"3DSolid", L"3DSolid", L"3DSolid", L"?", L"3DSolid"};
const wchar_t* const kContainerIds[] = {L"0", L"0", L"0", L"3", L"2", L"3", L"0", L"3"};
constexpr int32_t kSpcDocumentType = 3;
constexpr uint32_t kFindCommand = 2;
constexpr long kProgressMaximum = 0xFFFF;

const wchar_t* ByDocumentType(const wchar_t* const (&table)[8], int32_t type, const wchar_t* other)
{
    return type >= 0 && type < 8 ? table[type] : other;
}

IUnknown* IdentityOf(IUnknown* object)
{
    IUnknownPtr identity;
    if (object)
        object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    return identity.GetInterfacePtr();
}

} // namespace

VelmarNormset::VelmarNormset(IVel5Application* app5, IVel7Application* app7, INMClient* client, uint32_t command,
                             int32_t docType, ExternalLocation external)
    : Normset(HostMainWindow(app5), client), iApp5(app5), iApp7(app7), LibCommand(command),
      DocType(docType), HostVersion(GetHostVersion(app5))
{
    TraceScope scope(L":VelmarNormset");
    scope.Value(L"doc_type", _variant_t(static_cast<long>(DocType)));
    if (!iApp7)
        throw std::wstring(L"No API 7 interface");
    if (!iNMClient)
        throw std::wstring(L"No VAZEZAdAzuduv provider");
    Settings.LoadFromRegistry();
    if (external == ExternalLocation::Take)
        CheckExternalLocation();
}

VelmarNormset::~VelmarNormset()
{
    try {
        TraceScope scope(L"~VelmarNormset");
    } catch (...) {
        // The trace is all a destructor writes; the members release themselves.
    }
}

void VelmarNormset::FindAndReplaceLoop(Finder& finder, const std::function<void()>& runPanel,
                                       const std::function<bool()>& choose)
{
    TraceScope scope(L"VelmarNormset::FindAndReplaceLoop");
    do {
        runPanel();
        scope.Value(L"Action", _variant_t(static_cast<unsigned long>(finder.Action)));
        switch (finder.Action) {
        case FindChoose:
            finder.Action = choose() ? FindChosen : FindNotChosen;
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

bool VelmarNormset::SelectReplacement()
{
    try {
        return SelectPart();
    } catch (const BadResponse&) {
        if (m_iResponse)
            throw;
        return false;
    }
}

void VelmarNormset::CheckExternalLocation()
{
    TraceScope scope(L"VelmarNormset::CheckExternalLocation");
    std::wstring external;
    if (const RegKey key = OpenRegKey(HKEY_CURRENT_USER, kSettingsKeyPath, KEY_READ))
        external = ReadRegString(key.get(), L"ExtLocation", std::wstring());
    scope.String(L"ext_location", external);
    if (!external.empty()) {
        location = external.c_str();
        // The location is meant for one command: the next one must not take it again.
        if (const RegKey key = OpenRegKey(HKEY_CURRENT_USER, kSettingsKeyPath, KEY_SET_VALUE))
            RegDeleteValueW(key.get(), L"ExtLocation");
    }
    scope.String(L"location", BstrToWString(location));
}

void VelmarNormset::SetInstrumentOption()
{
    TraceScope scope(L"VelmarNormset::SetInstrumentOption");
    scope.Value(L"doc_type", _variant_t(static_cast<long>(DocType)));
    scope.Hex(L"mask", mask);
    if (InstrumentOptionsAlreadySent(iNMClient, DocType, static_cast<long>(mask)))
        return;
    InstrumentOptions options;
    options.instrument = L"Velmar";
    options.hostVersion = GetHostVersionText(iApp5).c_str();
    options.documentId = ByDocumentType(kDocumentIds, DocType, L"?");
    options.containerId = ByDocumentType(kContainerIds, DocType, L"0");
    // A bill-of-materials document has no use for the library's own files.
    if (DocType != kSpcDocumentType)
        options.extra = GetModulePath().c_str();
    options.mask = static_cast<long>(mask);
    scope.String(L"velmar_ver", BstrToWString(options.hostVersion));
    scope.String(L"doc_id", BstrToWString(options.documentId));
    scope.String(L"cont_id", BstrToWString(options.containerId));
    scope.WriteLine(L"m_iNMClient->SetInstrumentOptions");
    if (!iNMClient)
        RaiseNullHostPointer(__uuidof(INMClient));
    SetInstrumentOptionsOnChange(iNMClient, DocType, options);
}

std::wstring VelmarNormset::SelectParams()
{
    TraceScope scope(L"VelmarNormset::SelectParams");
    const bool findMode = LibCommand == kFindCommand;
    scope.Value(L"IsSpecificationActive", IsSpecificationActive);
    scope.Value(L"IsFindMode", findMode);
    return IsSpecificationActive || findMode ? L"<SLAVESPC>TRUE</SLAVESPC>" : std::wstring();
}

void VelmarNormset::CheckDocumentValidForRelink()
{
    throw _bstr_t(Translate(L"Активный документ не является сборкой.").c_str());
}

void VelmarNormset::CheckDocumentValidForClone()
{
    throw _bstr_t(Translate(L"Активный документ не является сборкой.").c_str());
}

void VelmarNormset::Relink() {}

void VelmarNormset::Clone() {}

void VelmarNormset::CreateSpcPart()
{
    TraceScope scope(L"VelmarNormset::CreateSpcPart");
    CurrentPart = std::make_unique<NMVelObjSpc>(iApp5, iApp7, iNMClient, std::addressof(iSpecification), nullptr, nullptr, Is3DSpec,
                                                &Settings);
}

bool VelmarNormset::HasForeignGeometry(IVel7SpcObject* object)
{
    const ObjArray linked(V7Get(object, &IVel7SpcObject::get_Geometry));
    for (const IDispatchPtr& item : linked) {
        if (!QueryHostOrNull<IVel7Part>(item))
            continue;
        const IVel5PartPtr part = ObjectAs<IVel5Part>(V5Method(iApp5, IVel5Application::ToLayer, item,
                                                               static_cast<long>(VelLayer5), static_cast<long>(VelTypePart)));
        const IDispatchPtr collected = CollectMacroObjects(iApp5, part);
        if (IdentityOf(collected) != IdentityOf(part))
            return true;
    }
    return false;
}

void VelmarNormset::CollectSpcRecords(const SpcDocContext& context, bool is3DSpec, SpcRecords& records)
{
    TraceScope scope(L"VelmarNormset::CollectSpcRecords");
    auto* objects = AsDual<IVel7SpcObjects>(context.iSpcObjs);
    const long count = V7Get(objects, &IVel7SpcObjects::get_Count);
    scope.Value(L"count", count);
    std::optional<ProgressWnd> progress;
    if (!QuietPass)
        progress.emplace(hwndOwner, static_cast<std::uint16_t>(std::clamp(count, 0L, kProgressMaximum)), Translate(L"Нормсет"));
    for (long i = 0; i < count; ++i) {
        if (progress && progress->Cancelled())
            break;
        const IVel7SpcObjectPtr object = QueryHostOrNull<IVel7SpcObject>(V7Get(objects, &IVel7SpcObjects::get_Item, _variant_t(i)));
        if (object && !HasForeignGeometry(object)) {
            auto record = std::make_unique<NMVelObjSpc>(iApp5, iApp7, iNMClient, std::addressof(iSpecification), &context,
                                                        static_cast<IDispatch*>(object), is3DSpec, &Settings);
            if (record->IsNMObject)
                records.push_back(std::move(record));
        }
        if (progress)
            progress->Step();
    }
    std::sort(records.begin(), records.end(),
              [](const auto& a, const auto& b) { return a->NM_QuarvendID < b->NM_QuarvendID; });
    scope.Value(L"records.size()", _variant_t(static_cast<unsigned long>(records.size())));
}

void VelmarNormset::LoadObjectInfo(const std::wstring& quarvendId, TraceScope& scope)
{
    scope.String(L"obj->NM_QuarvendID", quarvendId);
    const INMObjectInfoPtr info = QueryHost<INMObjectInfo>(iNMClient);
    if (!info)
        RaiseNullHostPointer(__uuidof(INMObjectInfo));
    UniqueBstr classId;
    UniqueBstr objectId;
    const HRESULT asked = scope.HResult(
        L"m_iNMClient->GetObjectInfo(_bstr_t(obj->NM_QuarvendID.c_str()), &cls_id.GetBSTR(), &obj_id.GetBSTR())",
        info->GetObjectInfo(_bstr_t(quarvendId.c_str()), classId.put(), objectId.put()));
    if (FAILED(asked))
        RaiseHostError(asked, info, __uuidof(INMObjectInfo));
    const IUnknownPtr response =
        V7Get(info, &INMObjectInfo::ObjectResponse, classId.get(), objectId.get(), static_cast<IUnknown*>(nullptr));
    const INMObjectResponsePtr object = QueryHostOrNull<INMObjectResponse>(response);
    if (!object)
        throw BadResponse(L"No response");
    LoadObjectDataXml(V7Get(object, &INMObjectResponse::get_Xml));
}

void VelmarNormset::CreateSpcObjectsForSpec(IDispatch* spc, bool is3DSpec)
{
    TraceScope scope(L"VelmarNormset::CreateSpcObjectsForSpec");
    Is3DSpec = is3DSpec;
    iSpecification = QueryHostOrNull<IVel5Specification>(spc);
    SpcDocContext context;
    context.iApp5 = iApp5;
    context.iApp7 = iApp7;
    context.Refresh(true);
    BatchCounts counts;
    if (!context.IsComplete()) {
        scope.WriteLine(L"The bill of materials is incomplete: nothing to refresh");
    } else {
        scope.WriteLine(L"IsFullValid");
        SpcRecords records;
        CollectSpcRecords(context, is3DSpec, records);
        AnswerPerIdentifier<NMVelObj*> answers;
        BatchPass pass = Pass(L"CreateSpcObjSpec_i");
        pass.badResponseRecord = L"obj->NM_ID";
        pass.badResponseValue = [&records](size_t group, size_t) { return records[group]->NM_ID; };
        counts = RunBatch(pass, std::vector<size_t>(records.size(), 1), [&](size_t group, size_t, TraceScope& item) {
            NMVelObjSpc& record = *records[group];
            NMVelObj* part = answers.For(record.NM_QuarvendID, [&](const std::wstring& id) {
                LoadObjectInfo(id, item);
                auto* loaded = dynamic_cast<NMVelObj*>(CurrentPart.get());
                if (!loaded)
                    throw BadResponse(L"No part created");
                loaded->BeginBatch();
                return loaded;
            });
            part->BindTo(&record);
            part->MoveAnswer = NMVelObj::KeepPlaceSilently;
            const IVel7SpcObjectPtr first = part->GetFirstSpcObject();
            if (!first)
                RaiseNullHostPointer(__uuidof(IVel7SpcObject));
            part->ChangeSpcObject(context, ObjArray(V7Get(first, &IVel7SpcObject::get_Geometry)));
            return BatchItem::Done;
        });
    }
    ShowSpcPassSummary(counts);
}

BatchPass VelmarNormset::Pass(const wchar_t* groupName) const
{
    BatchPass pass;
    pass.owner = hwndOwner;
    pass.groupName = groupName;
    pass.quiet = QuietPass;
    return pass;
}

void VelmarNormset::ShowSpcPassSummary(const BatchCounts& counts) const
{
    ShowBatchSummary(iApp7, L"Просмотр документа завершен. Создано объектов спецификации: %d из %d.", counts, QuietPass);
}
