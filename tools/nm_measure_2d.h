#pragma once
// The measure tools of a drawing or fragment. Points come from Velmar's point request; objects are
// picked with the same request, during which Velmar calls MEASUREFILTERPROC2D with each cursor position
// and the tool takes the object there (highlighted) when it is of a kind the tool measures.
#include "tools/nm_measure.h"

#include <cstdint>
#include <string>

class NMMeasure2D : public NMMeasure, public MeasureSlot<NMMeasure2D> {
public:
    explicit NMMeasure2D(IVel5Application* application);

    // The object at a cursor position: 0 when the tool took it, 1 when it did not.
    virtual int32_t Filter(double x, double y) = 0;

    // Makes the tool of a kind current (1 distance, 2 length, 3 diameter, 4 angle), deleting one still
    // current; any other kind makes none and leaves the slot as it is.
    static void Create(IVel5Application* application, uint8_t kind);

    bool PickFlag = false;          // the last cursor position the filter saw was a click
    IVel5Document2DPtr iDoc;
    long PickedObject = 0;

protected:
    // The user's point; false when the request ended without one.
    bool GetPoint(const std::wstring& prompt, double& x, double& y);
    // As GetPoint, with a rubber line from the first point.
    bool GetSecondPoint(double x1, double y1, const std::wstring& prompt, double& x, double& y);
    // Lets the user pick an object: the pick flag and the picked object say what the filter took.
    void PickObject(const std::wstring& prompt);
    // The object at a point, looking into macros; 0 for none.
    long FindObjectAt(double x, double y);
    void Highlight(long object, bool on);
    // The filter of the object-picking kinds: takes the object at the point, moving the highlight to it,
    // when `accepts` its type; 0 when taken.
    int32_t TakeObjectAt(double x, double y, bool (*accepts)(long type));
    // Runs a pick; the object it leaves highlighted is switched off, also when it fails.
    void PickThenUnhighlight(const std::wstring& prompt);
    // Switches off the highlight of another object picked before and of the picked object.
    void Unhighlight(long other);
    long ObjectType(long object);
    IVel5Math2DPtr Math();

private:
    IVel5RequestInfo2DPtr NewRequest(const std::wstring& prompt);
    bool RunRequest(IVel5RequestInfo2D* request, double& x, double& y, const _variant_t& phantom);
};

class NMMeasureDistance2D : public NMMeasure2D {
public:
    using NMMeasure2D::NMMeasure2D;
    std::wstring Measure() override;
    int32_t Filter(double x, double y) override;
};

class NMMeasureLength2D : public NMMeasure2D {
public:
    using NMMeasure2D::NMMeasure2D;
    std::wstring Measure() override;
    int32_t Filter(double x, double y) override;
};

// Circles and arcs.
class NMMeasureDiameter2D : public NMMeasure2D {
public:
    using NMMeasure2D::NMMeasure2D;
    std::wstring Measure() override;
    int32_t Filter(double x, double y) override;
};

// Between two segments (and the objects of types 28 and 48, read as segments), in the order picked.
class NMMeasureAngle2D : public NMMeasure2D {
public:
    using NMMeasure2D::NMMeasure2D;
    std::wstring Measure() override;
    int32_t Filter(double x, double y) override;

private:
    // The direction of an object's segment in degrees; false when its segment cannot be read.
    bool SegmentAngle(long object, double& angle);
};

// The angle between two directions as the 2D tool gives it: first minus second, folded into 0 to 180
// (anti-parallel gives 180). It depends on the order.
double FoldSegmentAngle(double first, double second);
