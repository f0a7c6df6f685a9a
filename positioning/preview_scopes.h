#pragma once
// Scoped host state of the positioning previews: the document's edit bracket, the current placement
// frame and a temporary line. Each puts back what it changed when the scope ends, also while a failure
// passes; a failing restore is traced, never thrown.
#include "hostapi/scope_exit.h"
#include "positioning/placement_math.h"

// The mode in which an auxiliary line takes new points; ScopeExitApi7Slot7 puts it back to 2.
inline constexpr long kAuxLineMoving = 3;

// The version-7 document's edit switch on for the scope.
class EditBracket {
public:
    explicit EditBracket(IVel7Document3D* document);
    EditBracket(const EditBracket&) = delete;
    EditBracket& operator=(const EditBracket&) = delete;

private:
    ScopeExitApi7Slot52Off off_;
};

// A frame made current for the scope; the frame current before is made current again at the end.
class CurrentFrame {
public:
    CurrentFrame(IVel7Frames* frames, IDispatch* frame);
    ~CurrentFrame();
    CurrentFrame(const CurrentFrame&) = delete;
    CurrentFrame& operator=(const CurrentFrame&) = delete;

private:
    IVel7FramesPtr frames_;
    IDispatchPtr previous_;
};

// A measuring line in the current frame that lives for the scope: from a point far back along the
// frame's axis (1e7 mm, beyond any part). Whatever was made is deleted from the document at the end.
class MeasuringLine {
public:
    MeasuringLine(IVel5Application* application, IVel5Document3D* document) : application_(application), document_(document) {}
    ~MeasuringLine();
    MeasuringLine(const MeasuringLine&) = delete;
    MeasuringLine& operator=(const MeasuringLine&) = delete;

    // Makes the line through the part's features inside the document's edit bracket; its version-5 form.
    IVel5Entity* Make(IVel7Document3D* document7, IVel7PartFeatures* features, const Point3D& from);

private:
    IVel5ApplicationPtr application_;
    IVel5Document3DPtr document_;
    IDispatchPtr line7_;
    IVel5EntityPtr line5_;
};

// A new auxiliary line through the part's features in the current frame, inside the edit bracket, from
// one point to the other and updated. `made` holds it as soon as it exists.
void MakeAuxLine(IVel7Document3D* document7, IVel7PartFeatures* features, const Point3D& from, const Point3D& to,
                 IDispatchPtr& made);
void SetLinePoints(IDispatch* line, const Point3D& from, const Point3D& to);
// The update of a version-7 model object (a frame, a line, a pattern).
void UpdateModelObject(IDispatch* object);
