#pragma once
// The positioning model of a 3D constructive element: the surface it starts on and the one it runs to,
// the kind of placement (PosMode, fixed for the model's life), the measures taken from the host geometry
// and one placement record per copy of the element. It owns the temporary geometry of its records (the
// previews: sketches, axes, planes, frames and lines in the user's part) and deletes what is left of it
// when it goes; it fills the part's location template with the measures.
//
// Two kinds build the geometry: NMElemPosM for the two-planes modes 0 and 1, NMElemPosR for every other
// mode. Create and Clone choose the kind by the mode.
#include "hostapi/utility_objects.h"
#include "hostapi/velmar.h"
#include "positioning/elem_pos.h"
#include "positioning/placement_math.h"
#include "positioning/positioning_modes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class NMElemPos {
public:
    virtual ~NMElemPos();
    NMElemPos& operator=(const NMElemPos&) = delete;

    // A model of the kind the mode selects; null when memory runs out.
    static std::unique_ptr<NMElemPos> Create(IVel5Application* app5, IVel7Application* app7, PositioningMode mode);
    // A copy of the kind the source's mode selects, sharing its host objects; null for null.
    static std::unique_ptr<NMElemPos> Clone(const NMElemPos* source);
    static bool IsTwoPlanesKind(PositioningMode mode) noexcept { return positioning_modes::IsTwoPlanes(mode); }

    // The geometry of one record: built, measured towards a surface along the element's axis (0 when
    // the axis misses it), rebuilt (true when it chose a direction object by itself) and moved to the
    // record's numbers. UpdateHeight sets tcsH on a temporary copy of the first record's geometry.
    virtual void CreateGeom(ElemPos& item) = 0;
    virtual double CalcHeight(ElemPos& item, IDispatch* surface) = 0;
    virtual void UpdateHeight() = 0;
    virtual bool RecreateGeom(ElemPos& item, bool correctAngle) = 0;
    virtual void ApplyPosition(ElemPos& item) = 0;

    // Surfaces, measures, records, current index and isMove; the mode and the host objects stay.
    void CopyFrom(const NMElemPos& source);
    // One cleared record, current. Deletes no geometry: a clone shares it.
    void ClearItems();
    // The current record and the record at an index: an index outside Items is an internal error.
    ElemPos& CurrentItem();
    ElemPos& Item(size_t index);
    // The first record on the same cylindrical face (the same object) as the sample's; -1 for none.
    long FindItem(const ElemPos& sample) const;
    // Deletes the record's geometry and the record; the only record is cleared instead, so that the
    // model always has one. The current index stays inside Items.
    void RemoveItem(size_t index);
    // Deletes the record's temporary geometry from the document and lets go of it.
    void DeleteGeom(ElemPos& item);
    void DeleteAllGeom();
    // The model and its current record, for the trace.
    void DebugInfo();

    bool IsHoleMode() const { return positioning_modes::IsHole(PosMode); }
    bool IsTwoPlanesMode() const { return positioning_modes::IsTwoPlanes(PosMode); }
    int32_t IsDowelMode() const { return positioning_modes::DowelHelpId(PosMode); }
    bool IsRoundEdgeMode() const { return positioning_modes::IsRoundEdge(PosMode); }
    bool IsThreadMode() const { return positioning_modes::IsThread(PosMode); }
    bool IsInnerAllowed() const { return positioning_modes::IsInnerAllowed(PosMode); }
    bool IsOuterAllowed() const { return positioning_modes::IsOuterAllowed(PosMode); }

    // Hands the element's script its positioning objects: the two surfaces and the current record's
    // face, edges, round edge, vertex and direction object, each (absent ones as null) added to the list.
    void PosEntities(IItemList* collection);
    // The part's location template with the placeholders of the mode filled by the measures; the text
    // comes back unchanged for a mode that fills nothing (also for a stored element without a mode).
    std::wstring PosLocation(const std::wstring& aOrgLocation);
    // Whether the first record's axis meets the candidate surface.
    bool IsValidEndPlane(IDispatch* candidate);
    // tcsD, tcsSL, tcsP from the thread on the current record's face, or from the bare cylinder (tcsP -1).
    void GetCylAndThread();
    // tcsA: the angle between the start and the end surface; 0 when they are parallel or not measured.
    void GetAngle();
    // The first of the start surface's part's X, Y and Z axes that the record's frame takes as its
    // direction becomes the record's direction object; none taken leaves it empty.
    void AutoFindDirObj(ElemPos& item);
    // Whether the record's frame (the current record's) takes the candidate as its direction.
    bool IsDirObjAccepted(IDispatch* candidate, ElemPos& item);
    bool IsDirObjAccepted(IDispatch* candidate) { return IsDirObjAccepted(candidate, CurrentItem()); }
    // Turns the record so that its zero direction follows its direction object: A with a placement
    // sketch, Y without one.
    void AutoCorrectAngle(ElemPos& item);
    // The nearest point where the curve meets the surface, as a distance from the point; 0 when they do
    // not meet.
    double DistanceToSurface(IDispatch* surface, const Point3D& point, IDispatch* curve);

    IDispatchPtr iStartPlane;
    IDispatchPtr iEndPlane;
    const PositioningMode PosMode;
    double tcsH = 0;    // depth or height, mm
    double tcsSL = 0;   // length of the thread or cylinder, mm
    double tcsD = 0;    // diameter of the thread or cylinder, mm
    double tcsP = 0;    // thread pitch, mm; -1: no thread
    double tcsA = 0;    // angle between start and end surface, degrees
    bool isMove = false;
    IVel7ApplicationPtr iApp7;
    IVel5ApplicationPtr iApp5;
    IVel5Document3DPtr iDoc5;         // the active 3D document
    IDispatchPtr iDoc7;               // the active document
    IVel5PartPtr iPart5;              // its top part
    IVel7PartPtr iPart7;
    IVel7PartFeaturesPtr iFeatures;
    IVel7FramesPtr iFrames;           // where the placement frames are made
    std::vector<ElemPos> Items;       // never empty
    size_t item_idx = 0;

protected:
    // A missing application, document or part raises E_POINTER.
    NMElemPos(IVel5Application* app5, IVel7Application* app7, PositioningMode mode);
    // Shares every host object; copies the measures, isMove, the records and the current index.
    NMElemPos(const NMElemPos& source);

    // The frame operations both kinds share: the frame's bases (the start surface and the direction
    // object), and the record's auxiliary line in its frame.
    void BindFrameBases(ElemPos& item);
    void PlaceAuxLine(ElemPos& item, bool symmetric, double offset, double u, double v);

    // A new entity of the top part (made by its Create once its definition is filled).
    IVel5EntityPtr NewEntity(short type);
    // A sketch on the plane, made.
    IVel5EntityPtr NewSketch(IDispatch* plane);
    // The object's version-7 twin.
    IDispatchPtr To7(IDispatch* object);
    IVel7Document3DPtr Document3D();
    IVel7FramesPtr Frames();
    // tcsH := CalcHeight towards the end surface on geometry built for a copy of the first record's
    // position (moved to it first when applyFirst) inside an undo container; that geometry is deleted
    // again also when a failure passes, and the first record's own preview is not touched.
    void MeasureFirstItem(bool applyFirst);

private:
    std::wstring HoleLocation(const std::wstring& text);
    std::wstring TwoPlaneLocation(const std::wstring& text);
    std::wstring DowelLocation(const std::wstring& text);
    std::wstring RoundEdgeLocation(const std::wstring& text);
    std::wstring ThreadLocation(const std::wstring& text);
    std::wstring CylinderLocation(const std::wstring& text);
    Point3D DirectionOf(IDispatch* object);
};
