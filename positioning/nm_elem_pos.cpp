#include "positioning/nm_elem_pos.h"

#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/mate_queries.h"
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
    iFrames = V7Get(iFeatures, &IVel7PartFeatures::get_Frames);
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

void NMElemPos::DeleteGeom(ElemPos& item)
{
    TraceScope scope(L"NMElemPos::DeleteGeom");
    auto remove = [this](IDispatch* object) { V5Method(iDoc5, IVel5Document3D::DeleteObject, object); };
    if (item.iOffsetPlane) {
        remove(item.iOffsetPlane);
        item.iOffsetPlane = nullptr;
    }
    if (item.iSketch) {
        remove(item.iSketch);
        item.iSketch = nullptr;
    }
    if (item.iFrame) {
        // The frame is a version-7 object: Velmar deletes its version-5 macro object.
        const IVel5EntityPtr frame5 = ObjectAs<IVel5Entity>(V5Method(
            iApp5, IVel5Application::ToLayer, item.iFrame, static_cast<long>(VelLayer5), static_cast<long>(VelTypeEntity)));
        if (frame5)
            remove(frame5);
        item.iFrame = nullptr;
        item.iAuxLine = nullptr;
    }
    if (item.iAxis) {
        remove(item.iAxis);
        if (item.iBasePlane)
            remove(item.iBasePlane);
        item.iAxis = nullptr;
        item.iBasePlane = nullptr;
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
