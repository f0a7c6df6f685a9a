#include "positioning/nm_elem_pos.h"

#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/host_guards.h"
#include "hostapi/interface_bridge.h"
#include "hostapi/mate_queries.h"
#include "hostapi/restore_step.h"
#include "hostapi/vtable_call.h"
#include "positioning/nm_elem_pos_m.h"
#include "positioning/nm_elem_pos_r.h"

#include <new>

namespace {

std::int64_t Address(IUnknown* object)
{
    return reinterpret_cast<std::int64_t>(object);
}

template <class P>
P Required(P object, const IID& iid)
{
    if (!object)
        RaiseNullHostPointer(iid);
    return object;
}

} // namespace

NMElemPos::NMElemPos(IVel5Application* app5, IVel7Application* app7, PositioningMode mode)
    : PosMode(mode), iApp7(app7), iApp5(app5)
{
    TraceScope scope(L":NMElemPos");
    Required(iApp5, __uuidof(IVel5Application));
    Required(iApp7, __uuidof(IVel7Application));
    // The active 3D document is the application's 3, as everywhere: 9 only makes parameter structures.
    iDoc5 = Required(ObjectAs<IVel5Document3D>(V5Method(iApp5, IVel5Application::ActiveDocument3D)),
                     __uuidof(IVel5Document3D));
    iDoc7 = Required(V7Get(iApp7, &IVel7Application::get_ActiveDocument), __uuidof(IVel7Document));
    iPart5 = Required(GetTopPart(iDoc5), __uuidof(IVel5Part));
    iPart7 = Required(ObjectAs<IVel7Part>(V5Method(iApp5, IVel5Application::ToLayer, iPart5, static_cast<long>(VelLayer7),
                                                   static_cast<long>(VelTypeNone))),
                      __uuidof(IVel7Part));
    iFeatures = Required(QueryHost<IVel7PartFeatures>(iPart7), __uuidof(IVel7PartFeatures));
    iFrames = QueryHostOrNull<IVel7Frames>(V7Get(iFeatures, &IVel7PartFeatures::get_Frames));
    ClearItems();
}

NMElemPos::NMElemPos(const NMElemPos& source)
    : iStartPlane(source.iStartPlane), iEndPlane(source.iEndPlane), PosMode(source.PosMode), tcsH(source.tcsH),
      tcsSL(source.tcsSL), tcsD(source.tcsD), tcsP(source.tcsP), tcsA(source.tcsA), isMove(source.isMove),
      iApp7(source.iApp7), iApp5(source.iApp5), iDoc5(source.iDoc5), iDoc7(source.iDoc7), iPart5(source.iPart5),
      iPart7(source.iPart7), iFeatures(source.iFeatures), iFrames(source.iFrames), Items(source.Items),
      item_idx(source.item_idx)
{
}

NMElemPos::~NMElemPos()
{
    try {
        TraceScope scope(L"~NMElemPos");
        DeleteAllGeom();
    } catch (...) {
        // Geometry Velmar refused to delete stays in the part; the references go with the members.
        TraceCurrentException(L"~NMElemPos");
    }
}

std::unique_ptr<NMElemPos> NMElemPos::Create(IVel5Application* app5, IVel7Application* app7, PositioningMode mode)
{
    if (IsTwoPlanesKind(mode))
        return std::unique_ptr<NMElemPos>(new (std::nothrow) NMElemPosM(app5, app7, mode));
    return std::unique_ptr<NMElemPos>(new (std::nothrow) NMElemPosR(app5, app7, mode));
}

std::unique_ptr<NMElemPos> NMElemPos::Clone(const NMElemPos* source)
{
    if (!source)
        return nullptr;
    if (IsTwoPlanesKind(source->PosMode))
        return std::unique_ptr<NMElemPos>(new (std::nothrow) NMElemPosM(*source));
    return std::unique_ptr<NMElemPos>(new (std::nothrow) NMElemPosR(*source));
}

void NMElemPos::CopyFrom(const NMElemPos& source)
{
    TraceScope scope(L"NMElemPos::CopyFrom");
    if (&source == this)
        return;
    iStartPlane = source.iStartPlane;
    iEndPlane = source.iEndPlane;
    tcsH = source.tcsH;
    tcsSL = source.tcsSL;
    tcsD = source.tcsD;
    tcsP = source.tcsP;
    tcsA = source.tcsA;
    Items = source.Items;
    item_idx = source.item_idx;
    isMove = source.isMove;
}

void NMElemPos::ClearItems()
{
    TraceScope scope(L"NMElemPos::ClearItems");
    Items.assign(1, ElemPos());
    item_idx = 0;
}

ElemPos& NMElemPos::CurrentItem()
{
    return Item(item_idx);
}

ElemPos& NMElemPos::Item(size_t index)
{
    if (index >= Items.size())
        throw std::wstring(L"NMElemPos::Item: index outside the placement records");
    return Items[index];
}

long NMElemPos::FindItem(const ElemPos& sample) const
{
    for (size_t i = 0; i < Items.size(); ++i)
        if (Items[i].iCylFace.GetInterfacePtr() == sample.iCylFace.GetInterfacePtr())
            return static_cast<long>(i);
    return -1;
}

void NMElemPos::RemoveItem(size_t index)
{
    TraceScope scope(L"NMElemPos::RemoveItem");
    scope.Value(L"index", _variant_t(static_cast<unsigned long>(index)));
    ElemPos& item = Item(index);
    DeleteGeom(item);
    if (Items.size() == 1) {
        item.Clear();
        return;
    }
    Items.erase(Items.begin() + static_cast<std::ptrdiff_t>(index));
    if (item_idx >= Items.size())
        item_idx = Items.size() - 1;
}

void NMElemPos::DeleteGeom(ElemPos& item)
{
    TraceScope scope(L"NMElemPos::DeleteGeom");
    // Each reference goes as soon as its object is deleted: should a deletion fail, a later DeleteGeom
    // takes up what is left.
    auto remove = [this](IDispatchPtr& object) {
        DeleteHelperObject(iDoc5, object, L"a preview object");
        object = nullptr;
    };
    if (item.iOffsetPlane)
        remove(item.iOffsetPlane);
    if (item.iSketch)
        remove(item.iSketch);
    if (item.iFrame) {
        // The frame is a version-7 object: Velmar deletes its version-5 macro object, and with it the
        // auxiliary line made in the frame.
        IDispatchPtr frame5 = ToApi5Entity(iApp5, item.iFrame);
        if (frame5)
            remove(frame5);
        item.iFrame = nullptr;
        item.iAuxLine = nullptr;
    }
    if (item.iAxis) {
        remove(item.iAxis);
        if (item.iBasePlane)
            remove(item.iBasePlane);
        item.iFrame = nullptr;
        item.iAuxLine = nullptr;
    }
}

void NMElemPos::DeleteAllGeom()
{
    TraceScope scope(L"NMElemPos::DeleteAllGeom");
    scope.Value(L"Items.size()", _variant_t(static_cast<unsigned long>(Items.size())));
    for (ElemPos& item : Items)
        DeleteGeom(item);
}

void NMElemPos::DebugInfo()
{
    TraceScope scope(L"NMElemPos::DebugInfo");
    scope.Value(L"PosMode", _variant_t(static_cast<long>(PosMode)));
    scope.Hex(L"iStartPlane", Address(iStartPlane));
    scope.Hex(L"iEndPlane", Address(iEndPlane));
    scope.Value(L"tcsH", tcsH);
    scope.Value(L"tcsSL", tcsSL);
    scope.Value(L"tcsD", tcsD);
    scope.Value(L"tcsP", tcsP);
    scope.Value(L"tcsA", tcsA);
    scope.Value(L"Items.size()", _variant_t(static_cast<unsigned long>(Items.size())));
    scope.Value(L"item_idx", _variant_t(static_cast<unsigned long>(item_idx)));
    scope.Value(L"isMove", isMove);
    const ElemPos& pos = CurrentItem();
    scope.Value(L"pos.X", pos.X);
    scope.Value(L"pos.Y", pos.Y);
    scope.Value(L"pos.R", pos.R);
    scope.Value(L"pos.A", pos.A);
    scope.Hex(L"pos.iEdge1", Address(pos.iEdge1));
    scope.Hex(L"pos.iEdge2", Address(pos.iEdge2));
    scope.Hex(L"pos.iCylEdge", Address(pos.iCylEdge));
    scope.Hex(L"pos.iCylFace", Address(pos.iCylFace));
    scope.Hex(L"pos.iVertex", Address(pos.iVertex));
    scope.Hex(L"pos.iDirObj", Address(pos.iDirObj));
}

void NMElemPos::PosEntities(IItemList* collection)
{
    TraceScope scope(L"NMElemPos::PosEntities");
    if (!collection)
        RaiseNullHostPointer(__uuidof(IItemList));
    const ElemPos& pos = CurrentItem();
    for (IDispatch* entity : {iStartPlane.GetInterfacePtr(), iEndPlane.GetInterfacePtr(), pos.iCylFace.GetInterfacePtr(),
                              pos.iEdge1.GetInterfacePtr(), pos.iEdge2.GetInterfacePtr(), pos.iCylEdge.GetInterfacePtr(),
                              pos.iVertex.GetInterfacePtr(), pos.iDirObj.GetInterfacePtr()})
        V7Call(collection, &IItemList::Add, entity);
    DebugInfo();
}

IVel5EntityPtr NMElemPos::NewEntity(short type)
{
    return RequireHost(ObjectAs<IVel5Entity>(V5Method(iPart5, IVel5Part::NewEntity, type)));
}

IVel5EntityPtr NMElemPos::NewSketch(IDispatch* plane)
{
    constexpr short kSketch = 5;
    IVel5EntityPtr sketch = NewEntity(kSketch);
    V5Method(RequireHost(EntityDefinition<IVel5SketchDefinition>(sketch)), IVel5SketchDefinition::SetPlane,
             RequireHost(IDispatchPtr(plane)));
    V5Method(sketch, IVel5Entity::Create);
    return sketch;
}

IDispatchPtr NMElemPos::To7(IDispatch* object)
{
    return RequireHost(ToApi7Object(iApp5, object));
}

IVel7Document3DPtr NMElemPos::Document3D()
{
    return RequireHost(QueryHostOrNull<IVel7Document3D>(iDoc7));
}

IVel7FramesPtr NMElemPos::Frames()
{
    return RequireHost(iFrames);
}

void NMElemPos::MeasureFirstItem(bool applyFirst)
{
    UndoContainerGuard guard(iDoc5, Document3D());
    ElemPos copy = Item(0);
    copy.iSketch = nullptr;
    copy.iOffsetPlane = nullptr;
    copy.iAxis = nullptr;
    copy.iBasePlane = nullptr;
    copy.iAuxLine = nullptr;
    copy.iFrame = nullptr;
    struct DeleteCopy {
        NMElemPos& model;
        ElemPos& copy;
        ~DeleteCopy() { RestoreStep(L"NMElemPos::UpdateHeight", [this] { model.DeleteGeom(copy); }); }
    } deleteCopy{*this, copy};
    CreateGeom(copy);
    if (applyFirst)
        ApplyPosition(copy);
    tcsH = CalcHeight(copy, iEndPlane);
}
