// The 3D controller's relink: every standard part of the document is pointed at the model file the
// reference book names for it now.
#include "library/velmar_normset_3d.h"

#include "core/files.h"
#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "insert3d/nm_velmar_model_3d.h"
#include "objects/batch_loop.h"
#include "objects/comp_properties.h"
#include "tools/finder_3d.h"

void VelmarNormset3D::Relink()
{
    TraceScope scope(L"VelmarNormset3D::Relink");
    Finder3D finder(hwndOwner, this, NMObjPart, true, false);
    BatchCounts counts;
    if (!finder.NMObjs.empty()) {
        AnswerPerIdentifier<std::wstring> files;
        const BatchPass pass = Pass(L"Relink3D_i");
        counts = finder.RunByName(pass, [&](NMObject& object, TraceScope& step) {
            auto* found = dynamic_cast<NMVelmarModel3D*>(&object);
            if (!found)
                return BatchItem::Skipped;
            const std::wstring file = files.For(found->NM_ID, [&](const std::wstring& id) {
                const NMVelmarModel3D& part = LoadPlacedModel(id);
                return part.NM_Path + part.NM_Body;
            });
            // A file the reference book names but does not have leaves the link as it is; the next
            // object of the identifier asks again.
            if (files.Fresh() && GetFileLength(file) == -1) {
                step.String(L"missing", file);
                files.Forget();
                return BatchItem::Skipped;
            }
            found->SetFileName(file);
            CompProperties3D(iApp5, iApp7, found->iPrt7).SaveQuarvendInfo(found->NM_QuarvendID);
            return BatchItem::Done;
        });
        V5Method(RequireHost(iDoc5), IVel5Document3D::Rebuild);
    }
    ShowBatchSummary(iApp7, L"Просмотр документа завершен. Обновлено ссылок: %d из %d.", counts, QuietPass);
}
