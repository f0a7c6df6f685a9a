#include "tools/finder_3d.h"

#include "core/progress_wnd.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/interface_bridge.h"
#include "insert3d/nm_velmar_element_3d.h"
#include "insert3d/nm_velmar_model_3d.h"
#include "insert3d/nm_velmar_tcs_3d.h"
#include "library/velmar_normset_3d.h"

#include <algorithm>
#include <optional>

namespace {

constexpr short kPartFeature = 104;
constexpr short kMacroFeature = 105;
constexpr short kMacroElement = 63;

std::uint16_t ProgressMaximum(long count)
{
    return static_cast<std::uint16_t>(std::clamp(count, 0L, 0xFFFFL));
}

} // namespace

Finder3D::Finder3D(HWND hostWindow_, VelmarNormset3D* controller, uint32_t aNMObjType, bool aIncludeTCS, bool specOnly)
    : Finder(hostWindow_, controller), Controller3D(controller), SpecOnly(specOnly)
{
    TraceScope scope(L":Finder3D");
    iDoc5 = ObjectAs<IVel5Document3D>(V5Method(Controller3D->iApp5, IVel5Application::ActiveDocument3D));
    scope.Hex(L"iDoc5", reinterpret_cast<std::int64_t>(iDoc5.GetInterfacePtr()));
    ChangeNMObjType(aNMObjType, aIncludeTCS);
}

Finder3D::~Finder3D()
{
    try {
        TraceScope scope(L"~Finder3D");
    } catch (...) {
        // The trace is all a destructor writes.
    }
}

void Finder3D::ReplaceAllNMObj()
{
    ReplaceAll(L"Finder3D::ReplaceAllNMObj", Controller3D->iApp7);
}

void Finder3D::FindNMObjs(uint32_t aNMObjType, bool aIncludeTCS)
{
    TraceScope scope(L"Finder3D::FindNMObjs");
    scope.Value(L"aNMObjType", _variant_t(static_cast<unsigned long>(aNMObjType)));
    scope.Value(L"aIncludeTCS", aIncludeTCS);
    // The part's host object holds the feature tree; the document's 34 is a new mate definition.
    const IVel5PartPtr top = RequireHost(ObjectAs<IVel5Part>(V5Method(RequireHost(iDoc5), IVel5Document3D::PartByCode,
                                                                       static_cast<long>(VelPartTop))));
    const IVel5ObjectPtr host = RequireHost(ObjectAs<IVel5Object>(V5Method(top, IVel5Part::HostObject)));
    const IVel5FeatureCollectionPtr features =
        ObjectAs<IVel5FeatureCollection>(V5Method(host, IVel5Object::Features, short{0}, short{0}));
    if (!features)
        return;
    const long count = V5Method(features, IVel5FeatureCollection::Count);
    // The automatic pass on Velmar's events shows no window.
    std::optional<ProgressWnd> progress;
    if (!Controller3D->QuietPass)
        progress.emplace(hostWindow, ProgressMaximum(count), Translate(L"Нормсет"));
    RecursiveFindNMObjs(features, aNMObjType, aIncludeTCS, progress ? &*progress : nullptr);
    scope.Value(L"NMObjs.size()", _variant_t(static_cast<unsigned long>(NMObjs.size())));
}

void Finder3D::RecursiveFindNMObjs(IVel5FeatureCollection* collection, uint32_t type, bool includeTCS, ProgressWnd* progress)
{
    if (!collection || (progress && progress->Cancelled()))
        return;
    VelmarNormset3D& controller = *Controller3D;
    for (IVel5ObjectPtr feature = ObjectAs<IVel5Object>(V5Method(collection, IVel5FeatureCollection::First)); feature;
         feature = ObjectAs<IVel5Object>(V5Method(collection, IVel5FeatureCollection::Next))) {
        const short kind = V5Get(feature, IVel5Object::Type);
        if (kind == kMacroFeature) {
            const IVel5EntityPtr macro = FeatureToMacro(feature);
            if (macro && GetEntityType(macro) == kMacroElement) {
                const NMVelObjElem3D element(controller.iApp5, controller.iApp7, macro);
                if (!element.IsNMObject || (element.IsTCS && type == NMObjPart && includeTCS))
                    RecursiveFindNMObjs(ObjectAs<IVel5FeatureCollection>(V5Method(feature, IVel5Object::Features, short{0}, short{0})),
                                        type, includeTCS, progress);
                if (element.IsNMObject && type == NMObjTCS && element.IsTCS)
                    AddFastenerSet(macro);
                else if (element.IsNMObject && type == NMObjElement && element.IsElement)
                    AddNMObj(std::make_unique<NMVelmarElement3D>(controller.iApp5, controller.iApp7, controller.iNMClient, macro,
                                                                 nullptr, _bstr_t(L""), _bstr_t(L""),
                                                                 controller.IsSpecificationActive));
            }
        } else if (kind == kPartFeature && type == NMObjPart) {
            auto model = std::make_unique<NMVelmarModel3D>(controller.iApp5, controller.iApp7, controller.iNMClient,
                                                           FeatureToPart(feature), controller.IsSpecificationActive,
                                                           &controller.Settings);
            if (model->IsNMObject && (!SpecOnly || model->IsPartSpcEnabled()))
                AddNMObj(std::move(model));
        }
        if (progress) {
            if (progress->Cancelled())
                return;
            progress->Step();
        }
    }
}

void Finder3D::AddFastenerSet(IVel5Entity* macro)
{
    VelmarNormset3D& controller = *Controller3D;
    AddNMObj(std::make_unique<NMVelmarTCS3D>(controller.iApp5, controller.iApp7, controller.iNMClient, macro, nullptr, _bstr_t(L""),
                                             _bstr_t(L""), controller.IsSpecificationActive, &controller.Settings));
}

void Finder3D::GetNMObjUniqNames(uint32_t aNMObjType)
{
    TraceScope scope(L"Finder3D::GetNMObjUniqNames");
    scope.Value(L"aNMObjType", _variant_t(static_cast<unsigned long>(aNMObjType)));
    NMObjsUniqNames.clear();
    for (const auto& object : NMObjs) {
        bool ofType = false;
        if (aNMObjType == NMObjPart) {
            ofType = dynamic_cast<const NMVelmarModel3D*>(object.get()) != nullptr;
        } else if (const auto* element = dynamic_cast<const NMVelObjElem3D*>(object.get())) {
            ofType = aNMObjType == NMObjElement ? element->IsElement && dynamic_cast<const NMVelmarElement3D*>(element)
                                                : aNMObjType == NMObjTCS && element->IsTCS;
        }
        if (ofType)
            NMObjsUniqNames.push_back(object->NM_Name);
    }
    SortUniqNames();
    scope.Value(L"NMObjsUniqNames.size()", _variant_t(static_cast<unsigned long>(NMObjsUniqNames.size())));
}
