#include "positioning/preview_scopes.h"

#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/interface_bridge.h"
#include "hostapi/restore_step.h"
#include "hostapi/vtable_call.h"

EditBracket::EditBracket(IVel7Document3D* document) : off_(document)
{
    V7Call(document, &IVel7Document3D::put_EditSwitch, VARIANT_TRUE);
}

CurrentFrame::CurrentFrame(IVel7Frames* frames, IDispatch* frame) : frames_(frames)
{
    previous_ = V7Get(frames_, &IVel7Frames::MakeCurrent, frame);
}

CurrentFrame::~CurrentFrame()
{
    RestoreStep(L"~CurrentFrame", [this] { V7Get(frames_, &IVel7Frames::MakeCurrent, previous_.GetInterfacePtr()); });
}

IVel5Entity* MeasuringLine::Make(IVel7Document3D* document7, IVel7PartFeatures* features, const Point3D& from)
{
    constexpr double kLength = 10000000;
    MakeAuxLine(document7, features, from, {from.x - kLength, from.y, from.z}, line7_);
    line5_ = RequireHost(ToApi5Entity(application_, line7_));
    return line5_;
}

MeasuringLine::~MeasuringLine()
{
    if (!line7_)
        return;
    // Should the conversion have failed while the line was made, it is tried again here: a line that
    // cannot be reached in its version-5 form cannot be deleted.
    RestoreStep(L"~MeasuringLine", [this] {
        if (!line5_)
            line5_ = RequireHost(ToApi5Entity(application_, line7_));
        DeleteHelperObject(document_, line5_, L"the measuring line");
    });
}

void MakeAuxLine(IVel7Document3D* document7, IVel7PartFeatures* features, const Point3D& from, const Point3D& to,
                 IDispatchPtr& made)
{
    EditBracket bracket(document7);
    made = RequireHost(V7Get(features, &IVel7PartFeatures::AddAuxLine));
    SetLinePoints(made, from, to);
    UpdateModelObject(made);
}

void SetLinePoints(IDispatch* line, const Point3D& from, const Point3D& to)
{
    const IVel7AuxLineModePtr points = RequireHost(QueryHostOrNull<IVel7AuxLineMode>(line));
    V7Call(points, &IVel7AuxLineMode::SetPoint, 1L, from.x, from.y, from.z);
    V7Call(points, &IVel7AuxLineMode::SetPoint, 2L, to.x, to.y, to.z);
}

void UpdateModelObject(IDispatch* object)
{
    V7Get(RequireHost(QueryHostOrNull<IVel7ModelObject>(object)), &IVel7ModelObject::Update);
}
