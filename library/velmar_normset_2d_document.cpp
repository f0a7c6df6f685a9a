// The 2D controller's whole-drawing commands: the spc objects of every library part, and find and
// replace with the find panel over one finder.
#include "library/velmar_normset_2d.h"

#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/vtable_call.h"
#include "insert2d/nm_vel_obj_2d.h"
#include "insert2d/nm_velmar_tcs_2d.h"
#include "objects/batch_loop.h"
#include "hostapi/provider_connection.h"
#include "objects/bad_response.h"
#include "tools/find_panel_2d.h"
#include "tools/finder_2d.h"

#include <algorithm>

namespace {

const wchar_t kHostName[] = L"ВЕЛМАР 2D";

} // namespace

void VelmarNormset2D::CreateSpcObjects()
{
    TraceScope scope(L"VelmarNormset2D::CreateSpcObjects");
    SetInstrumentOption();
    if (IsSpecificationActive)
        CreateSpcObjectsForSpec(ObjectAs<IVel5Specification>(V5Method(RequireHost(iDoc5), IVel5Document2D::SpcEditor)), false);
    else
        CreateSpcObjectsForGeom();
}

void VelmarNormset2D::CreateSpcObjectsForGeom()
{
    TraceScope scope(L"VelmarNormset2D::CreateSpcObjectsForGeom");
    SpcDocContext context;
    context.iApp5 = iApp5;
    context.iApp7 = iApp7;
    context.Refresh(true);
    BatchCounts counts;
    if (context.IsMainlyValid()) {
        Finder2D finder(hwndOwner, this);
        macro = 0;
        AnswerPerIdentifier<NMVelObj2D*> answers;
        const BatchPass pass = Pass(L"CreateSpcObjects2D_i");
        counts = finder.RunByName(pass, [&](NMObject& object, TraceScope&) {
            auto* found = dynamic_cast<NMVelObj2D*>(&object);
            if (!found)
                return BatchItem::Skipped;
            found->GetExistsSpcObjects(context);
            found->CheckForTCS();
            if (found->IsTCS) {
                // The set's members bring their own spc objects; the set counts once.
                NMVelmarTCS2D set(iApp5, iApp7, iNMClient, found->macro, false, &Settings);
                return set.RecreatePlacedSpcObjects(context) ? BatchItem::Done : BatchItem::Skipped;
            }
            NMVelObj2D* part = answers.For(found->NM_ID, [&](const std::wstring& id) {
                m_iResponse = ClientPlacedResponse(iNMClient, id, kHostName);
                if (!m_iResponse)
                    throw BadResponse(L"No response");
                LoadResponse();
                auto* loaded = dynamic_cast<NMVelObj2D*>(CurrentPart.get());
                if (!loaded)
                    throw BadResponse(L"No part created");
                return loaded;
            });
            // A part whose identifier caused the request is fresh; the later ones of the same identifier
            // reuse its data and get no leader of their own.
            const bool fresh = answers.Fresh();
            part->BindTo(found);
            if (!part->HasSpcData())
                return BatchItem::Skipped;
            part->MoveAnswer = NMVelObj::KeepPlaceSilently;
            part->RecreatePlacedSpcObject(context, *found, fresh);
            return BatchItem::Done;
        });
    } else {
        scope.WriteLine(L"The bill of materials is incomplete: nothing to make");
    }
    ShowSpcPassSummary(counts);
}

void VelmarNormset2D::FindAndReplace()
{
    TraceScope scope(L"VelmarNormset2D::FindAndReplace");
    Finder2D finder(hwndOwner, this);
    FindAndReplaceLoop(
        finder, [&] { FindPanel2D(iApp5, iApp7, &finder).Run(); },
        [&] {
            const auto* current = dynamic_cast<const NMVelObj2D*>(finder.GetNMObj());
            if (!current)
                return false;
            location = current->NM_ID.c_str();
            macro = current->macro;
            state = StateReselect;
            return SelectReplacement();
        });
}
