#pragma once
// The positioning model of a 3D constructive element: the surface it starts on and the one it runs to,
// the kind of placement (PosMode, fixed for the model's life), the measures taken from the host geometry
// and one placement record per copy of the element. It owns the temporary geometry of its records and
// deletes what is left of it when it goes.
//
// Two kinds build the geometry: NMElemPosM for the two-planes modes 0 and 1, NMElemPosR for every other
// mode. Create and Clone choose the kind by the mode.
#include "hostapi/velmar.h"
#include "positioning/elem_pos.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

using PositioningMode = int32_t;

class NMElemPos {
public:
    virtual ~NMElemPos();
    NMElemPos& operator=(const NMElemPos&) = delete;

    // A model of the kind the mode selects; null when memory runs out.
    static std::unique_ptr<NMElemPos> Create(IVel5Application* app5, IVel7Application* app7, PositioningMode mode);
    // A copy of the kind the source's mode selects, sharing its host objects; null for null.
    static std::unique_ptr<NMElemPos> Clone(const NMElemPos* source);
    static bool IsTwoPlanesKind(PositioningMode mode) noexcept { return mode == 0 || mode == 1; }

    // The geometry of one record.
    virtual void CreateGeom(ElemPos& item) = 0;
    virtual double CalcHeight(ElemPos& item, IDispatch* surface) = 0;
    virtual void UpdateHeight() = 0;
    // True when it chose a direction object by itself.
    virtual bool RecreateGeom(ElemPos& item, bool correctAngle) = 0;
    virtual void ApplyPosition(ElemPos& item) = 0;

    // Surfaces, measures, records, current index and isMove; the mode and the host objects stay.
    void CopyFrom(const NMElemPos& source);
    // One cleared record, current.
    void ClearItems();
    // The current record and the record at an index: an index outside Items is an internal error.
    ElemPos& CurrentItem();
    ElemPos& Item(size_t index);
    // Deletes the record's temporary geometry from the document and lets go of it.
    void DeleteGeom(ElemPos& item);
    void DeleteAllGeom();
    // The model and its current record, for the trace.
    void DebugInfo();

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
    IDispatchPtr iFrames;             // where the placement frames are made
    std::vector<ElemPos> Items;       // never empty
    size_t item_idx = 0;

protected:
    // A missing application, document or part raises E_POINTER.
    NMElemPos(IVel5Application* app5, IVel7Application* app7, PositioningMode mode);
    // Shares every host object; copies the measures, isMove, the records and the current index.
    NMElemPos(const NMElemPos& source);
};
