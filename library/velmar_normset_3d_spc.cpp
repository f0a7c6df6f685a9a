// The 3D controller's spc objects of a whole document and of a silent response, and the reference
// book's answer for a part already placed, which the document passes share.
#include "library/velmar_normset_3d.h"

#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/host_version.h"
#include "hostapi/restore_step.h"
#include "hostapi/scope_exit.h"
#include "hostapi/vtable_call.h"
#include "insert3d/nm_velmar_model_3d.h"
#include "objects/batch_loop.h"
#include "hostapi/provider_connection.h"
#include "objects/bad_response.h"
#include "objects/spc_preset.h"
#include "tools/finder_3d.h"

#include <optional>

namespace {

constexpr int32_t kSpcDocument = 3;
// The MessageMode of a part in a quiet pass: past batch mode, its failures are only traced.
constexpr uint32_t kNoMessages = 2;
const wchar_t kHostName[] = L"ВЕЛМАР 3D";

} // namespace

NMVelmarModel3D& VelmarNormset3D::LoadPlacedModel(const std::wstring& id)
{
    m_iResponse = ClientPlacedResponse(iNMClient, id, kHostName);
    if (!m_iResponse)
        throw BadResponse(L"No response");
    LoadResponse();
    // A script or a fastener set answered for a component: nothing of it may be pointed at or counted.
    auto* model = dynamic_cast<NMVelmarModel3D*>(CurrentPart.get());
    if (!model)
        throw BadResponse(L"No part created");
    return *model;
}

void VelmarNormset3D::CreateSpcObjects()
{
    TraceScope scope(L"VelmarNormset3D::CreateSpcObjects");
    if (IsSpecificationActive) {
        if (DocType != kSpcDocument) {
            CreateSpcObjectsForSpec(ObjectAs<IVel5Specification>(V5Method(RequireHost(iDoc5), IVel5Document3D::SpcEditor)), true);
        } else if (const IVel5SpcDocumentPtr document =
                       ObjectAs<IVel5SpcDocument>(V5Method(iApp5, IVel5Application::ActiveSpcDocument))) {
            CreateSpcObjectsForSpec(ObjectAs<IVel5Specification>(V5Method(document, IVel5SpcDocument::BillOfMaterials)), false);
        }
        return;
    }
    if (HostVersion < kHostVersion1401)
        CreateSpcObjectsForGeom();
    else
        CreateSpcObjectsForGeom_14SP1();
}

void VelmarNormset3D::CreateSpcObjectsForGeom()
{
    CreateSpcObjectsForGeom(L"VelmarNormset3D::CreateSpcObjectsForGeom");
}

void VelmarNormset3D::CreateSpcObjectsForGeom_14SP1()
{
    CreateSpcObjectsForGeom(L"VelmarNormset3D::CreateSpcObjectsForGeom_14SP1");
}

void VelmarNormset3D::CreateSpcObjectsForGeom(const wchar_t* scopeName)
{
    TraceScope scope(scopeName);
    const IVel7ItemsPtr items = RequireHost(QueryHostOrNull<IVel7Items>(iDoc7));
    const long count = V7Get(items, &IVel7Items::get_Count);
    const IVel7ItemPtr start = QueryHostOrNull<IVel7Item>(V7Get(items, &IVel7Items::get_Current));
    scope.Value(L"count", count);
    // The standard parts of the current item, one name after another.
    const auto refreshItem = [&](const SpcDocContext& context) {
        Finder3D finder(hwndOwner, this, NMObjPart, true, true);
        if (finder.NMObjs.empty())
            return BatchCounts();
        iEdPrt = nullptr;
        AnswerPerIdentifier<NMVelmarModel3D*> answers;
        const BatchPass pass = Pass(L"CreateSpcObjects3D_i");
        return finder.RunByName(pass, [&](NMObject& object, TraceScope&) {
            auto* found = dynamic_cast<NMVelmarModel3D*>(&object);
            if (!found)
                return BatchItem::Skipped;
            NMVelmarModel3D* part = answers.For(found->NM_ID, [&](const std::wstring& id) {
                NMVelmarModel3D* loaded = &LoadPlacedModel(id);
                if (QuietPass)
                    loaded->MessageMode = kNoMessages;
                return loaded;
            });
            found->GetExistsSpcObjects(context);
            part->BindTo(found);
            if (!part->HasSpcData())
                return BatchItem::Skipped;
            part->MoveAnswer = NMVelObj::KeepPlaceSilently;
            ObjArray geometry = part->GetPosLeadsForPart(part->iPrt7);
            geometry.push_back(IDispatchPtr(part->iPrt7));
            part->ChangeSpcObj3D(context, geometry);
            return BatchItem::Done;
        });
    };
    BatchCounts all;
    {
        // At the normal end a switch Velmar will not put back is the command's failure; while a failure
        // leaves, the restorers only trace theirs.
        std::optional<ScopeExitApi7Slot22On> startAgain;
        if (start)
            startAgain.emplace(start);
        for (long k = 0; k < count && !all.cancelled; ++k) {
            const IVel7ItemPtr item = RequireHost(QueryHostOrNull<IVel7Item>(V7Get(items, &IVel7Items::get_Item, k)));
            V7Call(item, &IVel7Item::put_Current, VARIANT_TRUE);
            SpcDocContext context;
            context.iApp5 = iApp5;
            context.iApp7 = iApp7;
            context.Refresh(true);
            if (!context.IsMainlyValid()) {
                scope.Value(L"incomplete bill of materials of item", k);
                continue;
            }
            V7Call(context.iSpcDsc, &IVel7SpcDescription::put_BulkSwitch, VARIANT_FALSE);
            ScopeExitApi7Slot37On bulkAgain(context.iSpcDsc);
            const BatchCounts counts = refreshItem(context);
            bulkAgain.Restore();
            all.done += counts.done;
            all.total += counts.total;
            all.cancelled = counts.cancelled;
        }
        if (startAgain)
            startAgain->Restore();
    }
    ShowSpcPassSummary(all);
}

bool VelmarNormset3D::ReadObjectData(INMObjectData* response)
{
    TraceScope scope(L"VelmarNormset3D::ReadObjectData");
    if (!response)
        return false;
    LoadObjectDataXml(V7Get(response, &INMObjectData::get_Xml));
    CurrentPart->BeginBatch();
    return true;
}

IUnknownPtr VelmarNormset3D::SilentInsertSpec(IUnknown* response, const std::wstring& presetText)
{
    TraceScope scope(L"VelmarNormset3D::SilentInsertSpec");
    SpcDocContext context;
    context.iApp5 = iApp5;
    context.iApp7 = iApp7;
    context.Refresh(true);
    Settings.CreateSpcObject = true;
    if (!ReadObjectData(QueryHostOrNull<INMObjectData>(response)))
        return nullptr;
    auto* part = dynamic_cast<NMVelObj*>(CurrentPart.get());
    if (!part)
        throw BadResponse(L"No part created");
    part->ExSpcObjs.clear();
    if (!presetText.empty()) {
        NMSpcPreset preset(Translate(L"По умолчанию"));
        preset.LoadFromString(presetText);
        Settings.Presets.assign(1, preset);
        Settings.SpcPresetNum = 0;
    }
    try {
        part->ChangeSpcObject(context, ObjArray());
    } catch (...) {
        // The caller gets null: an object left half filled would stay in the bill of materials unasked.
        if (const IVel7SpcObjectPtr made = part->iSpcObj)
            RestoreStep(L"VelmarNormset3D::SilentInsertSpec", [&] { V7Call(made, &IVel7SpcObjectBase::Delete); });
        throw;
    }
    return QueryHostOrNull<IUnknown>(part->iSpcObj);
}
