#pragma once
// The measure tools of a part or assembly. The user picks entities with Velmar's entity selection, which
// asks MEASUREFILTERPROC3D about every entity offered; the tool accepts the faces, edges or threads it
// measures. Distances and angles between two objects are the top part's measurer's.
#include "tools/nm_measure.h"

#include <cstdint>
#include <string>

class NMMeasure3D : public NMMeasure, public MeasureSlot<NMMeasure3D> {
public:
    // Raises E_POINTER without an active 3D document or a top part. The highlight sets are emptied.
    explicit NMMeasure3D(IVel5Application* application);
    // Empties the highlight sets again.
    ~NMMeasure3D() override;

    // An entity offered to the pick: 1 accepts it, 0 refuses.
    virtual int32_t Filter(IDispatch* object) = 0;

    // Makes the tool of a kind current (1 distance, 2 length, 3 diameter, 4 angle, 5 thread), deleting one
    // still current; any other kind makes none and leaves the slot as it is.
    static void Create(IVel5Application* application, uint8_t kind);

    IVel5Document3DPtr iDoc;
    IVel5SelectionPtr iSelection1;
    IVel5SelectionPtr iSelection2;
    IVel5MeasurerPtr iMeasurer;

protected:
    // The entity the user picked; null when the user cancelled or picked no entity.
    IVel5EntityPtr PickObject(const std::wstring& prompt);
    // Two objects picked and shown in the second highlight set; when the measurer takes them, the value
    // is its property `result`.
    std::wstring MeasurePair(DISPID result);
    // The filters: 1 for a face whose definition answers true to faceTest, an edge whose definition
    // answers true to edgeTest, or a thread when threads are taken; a test of 0 refuses that kind.
    static int32_t Accepts(IDispatch* object, DISPID faceTest, DISPID edgeTest, bool threads);
    // A cylindrical face's length and radius.
    static void ReadCylinder(IVel5Entity* face, double& length, double& radius);
    // The curve of an edge when it is of the shape asked (IsLine, IsCircle): its line or circle.
    static IDispatchPtr EdgeShape(IVel5Entity* edge, DISPID isShape);
    // A thread's diameter and pitch.
    static void ReadThread(IVel5Entity* thread, double& diameter, double& pitch);
};

// Between two planar faces.
class NMMeasureDistance3D : public NMMeasure3D {
public:
    using NMMeasure3D::NMMeasure3D;
    std::wstring Measure() override;
    int32_t Filter(IDispatch* object) override;
};

// Of a cylindrical face or a straight edge.
class NMMeasureLength3D : public NMMeasure3D {
public:
    using NMMeasure3D::NMMeasure3D;
    std::wstring Measure() override;
    int32_t Filter(IDispatch* object) override;
};

// Of a cylindrical face, a circular edge or a thread.
class NMMeasureDiameter3D : public NMMeasure3D {
public:
    using NMMeasure3D::NMMeasure3D;
    std::wstring Measure() override;
    int32_t Filter(IDispatch* object) override;
};

// Between two planar faces, in degrees.
class NMMeasureAngle3D : public NMMeasure3D {
public:
    using NMMeasure3D::NMMeasure3D;
    std::wstring Measure() override;
    int32_t Filter(IDispatch* object) override;
};

// A thread's diameter and pitch: "M<diameter> x <pitch>".
class NMMeasureThread3D : public NMMeasure3D {
public:
    using NMMeasure3D::NMMeasure3D;
    std::wstring Measure() override;
    std::wstring GetValueText() override;
    int32_t Filter(IDispatch* object) override;

    double Pitch = 0;
};
