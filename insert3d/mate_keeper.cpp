#include "insert3d/mate_keeper.h"

#include "core/plane_geometry.h"
#include "core/trace_log.h"
#include "hostapi/element_queries.h"
#include "hostapi/entity_access.h"
#include "hostapi/mate_queries.h"
#include "hostapi/restore_step.h"
#include "hostapi/selection_tests.h"

namespace {

constexpr short kMateElement = 68;
constexpr short kFaces = 6;
constexpr short kEdges = 7;
constexpr long kMateToPart = 4;
constexpr long kMateToFace = 0;

// An item of a collection as the element it stands for: a feature's entity, or the entity itself.
IVel5EntityPtr EntityOfItem(IDispatch* item)
{
    if (IVel5EntityPtr macro = MacroOfFeatureItem(item))
        return macro;
    return QueryHostOrNull<IVel5Entity>(item);
}

IDispatchPtr SubObjectsOf(IVel5Entity* entity, short kind)
{
    return ObjectAs<IDispatch>(V5Method(entity, IVel5Entity::SubObjects, kind));
}

void TraceCount(TraceScope& scope, const wchar_t* name, size_t count)
{
    scope.Value(name, _variant_t(static_cast<unsigned long>(count)));
}

} // namespace

MateKeeper::MateKeeper(IVel5Document3D* document, IVel5Entity* oldMacro) : document_(document), oldMacro_(oldMacro)
{
    TraceScope scope(L":MateKeeper");
    WalkHostItems(GetEntityDefinition(oldMacro_), [&](IDispatch* item) {
        if (const IVel5EntityPtr object = EntityOfItem(item)) {
            if (GetEntityType(object) == kMateElement)
                CollectMateElement(object);
            else
                CollectFaces(object);
        }
        return true;
    });
    TraceCount(scope, L"A", listA_.size());
    TraceCount(scope, L"B", listB_.size());
    TraceCount(scope, L"C", listC_.size());
}

void MateKeeper::CollectMateElement(IVel5Entity* mateElement)
{
    const ObjArray mates = GetMateObjects(document_, mateElement);
    if (!mates.empty()) {
        for (const IDispatchPtr& found : mates)
            if (const IVel5MatePtr mate = QueryHostOrNull<IVel5Mate>(found))
                listB_.emplace_back(mate, mateElement);
        return;
    }
    // A mate element without mates of its own is mated through its first edge.
    const IDispatchPtr edges = SubObjectsOf(mateElement, kEdges);
    if (!edges || static_cast<long>(V5Method(edges, IVel5ObjectCollection::Count)) <= 0)
        return;
    const IVel5EntityPtr first = EntityOfItem(ObjectAs<IDispatch>(V5Method(edges, IVel5ObjectCollection::First)));
    if (!first)
        return;
    const ObjArray firstMates = GetMateObjects(document_, first);
    const IVel5MatePtr mate = firstMates.empty() ? nullptr : QueryHostOrNull<IVel5Mate>(firstMates.front());
    if (!mate)
        return;
    VelmarMate record(mate, first);
    record.Target = mateElement;
    record.iface = GetMateMacro(record.iface);
    listB_.push_back(record);
}

void MateKeeper::CollectFaces(IVel5Entity* object)
{
    WalkHostItems(SubObjectsOf(object, kFaces), [&](IDispatch* item) {
        const IVel5EntityPtr face = EntityOfItem(item);
        if (!face)
            return true;
        for (const IDispatchPtr& found : GetMateObjects(document_, face)) {
            const IVel5MatePtr mate = QueryHostOrNull<IVel5Mate>(found);
            if (!mate)
                continue;
            VelmarMate record(mate, face);
            if (record.Kind == kMateToPart) {
                listA_.push_back(record);
            } else if (record.Kind == kMateToFace) {
                if (!IsFaceVariant2(face, nullptr)) {
                    listA_.push_back(record);
                } else {
                    listD_.push_back(GetConeParams(face));
                    listC_.push_back(record);
                }
            }
        }
        return true;
    });
}

void MateKeeper::HandOver(IDispatch* newTargetPart, IDispatch* newTargetMacro, std::vector<IDispatchPtr> newGeometry)
{
    newTargetPart_ = newTargetPart;
    newTargetMacro_ = newTargetMacro;
    newGeometry_ = std::move(newGeometry);
    handedOver_ = true;
}

MateKeeper::~MateKeeper()
{
    try {
        Restore();
    } catch (...) {
        TraceCurrentException(L"~MateKeeper");
    }
}

void MateKeeper::Restore()
{
    TraceScope scope(L"~MateKeeper");
    if (!handedOver_) {
        scope.WriteLine(L"no new element: the mates stay as they are");
        return;
    }
    auto create = [this](const VelmarMate& mate) {
        CreateMate(document_, mate.iface, mate.Target, static_cast<short>(mate.Kind), mate.Direction, nullptr, mate.Value);
    };
    // An old mate goes only once its new one was made: a step that fails keeps it.
    auto deleteOld = [this](const VelmarMate& mate) {
        if (mate.HostMate)
            DeleteHelperObject(document_, mate.HostMate, L"a mate");
    };
    for (VelmarMate& mate : listA_)
        RestoreStep(L"~MateKeeper A", [&] {
            mate.Target = newTargetPart_;
            if (!mate.iface || !mate.Target)
                return;
            create(mate);
            deleteOld(mate);
        });
    for (VelmarMate& mate : listB_)
        RestoreStep(L"~MateKeeper B", [&] {
            mate.Target = newTargetMacro_;
            mate.Direction = 1;
            create(mate);
        });
    for (size_t i = 0; i < listC_.size(); ++i)
        RestoreStep(L"~MateKeeper C", [&] {
            VelmarMate& mate = listC_[i];
            for (const IDispatchPtr& candidate : newGeometry_) {
                const IVel5EntityPtr face = QueryHostOrNull<IVel5Entity>(candidate);
                if (face && IsEqualRel(listD_[i], GetConeParams(face), 1e-6)) {
                    mate.Target = face;
                    create(mate);
                    break;
                }
            }
            // The old face is gone with the old element: its mate goes whether or not a new face matched.
            deleteOld(mate);
        });
}
