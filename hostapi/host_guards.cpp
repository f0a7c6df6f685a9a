#include "hostapi/host_guards.h"

#include "hostapi/dispatch_call.h"
#include "hostapi/restore_step.h"
#include "hostapi/vtable_call.h"

#include <string>

namespace {

bool SameObject(IUnknown* a, IUnknown* b)
{
    IUnknownPtr first = QueryHostOrNull<IUnknown>(a);
    IUnknownPtr second = QueryHostOrNull<IUnknown>(b);
    return first == second;
}

} // namespace

UndoContainerGuard::UndoContainerGuard(IVel5Document3D* document5, IVel7Document3D* document7)
    : document7_(document7), document5_(document5)
{
    if (V7Get(document7_, &IVel7Document3D::get_UndoContainerOpen) != VARIANT_FALSE)
        throw std::wstring(L"Undo container in progress");
    PartialSwitches switched(L":UndoContainerGuard");
    V7Call(document7_, &IVel7Document3D::put_UndoContainerMode, VARIANT_FALSE);
    switched.Add([this] { V7Call(document7_, &IVel7Document3D::put_UndoContainerMode, VARIANT_TRUE); });
    V5Put(document5_, IVel5Document3D::UndoRecording, false);
    switched.Commit();
}

UndoContainerGuard::~UndoContainerGuard()
{
    RestoreStep(L"~UndoContainerGuard", [this] { V7Call(document7_, &IVel7Document3D::put_UndoContainerMode, VARIANT_TRUE); });
    RestoreStep(L"~UndoContainerGuard", [this] { V5Put(document5_, IVel5Document3D::UndoRecording, true); });
}

UndoDisabledGuard::UndoDisabledGuard(IVel5Document3D* document5, IVel7Document3D* document7)
    : document7_(document7), document5_(document5)
{
    if (V7Get(document7_, &IVel7Document3D::get_UndoEnabled) == VARIANT_FALSE)
        throw std::wstring(L"Undo disabled");
    PartialSwitches switched(L":UndoDisabledGuard");
    V7Call(document7_, &IVel7Document3D::put_UndoDisabledMode, VARIANT_TRUE);
    switched.Add([this] { V7Call(document7_, &IVel7Document3D::put_UndoDisabledMode, VARIANT_FALSE); });
    V5Put(document5_, IVel5Document3D::UndoRecording, false);
    switched.Commit();
}

UndoDisabledGuard::~UndoDisabledGuard()
{
    RestoreStep(L"~UndoDisabledGuard", [this] { V7Call(document7_, &IVel7Document3D::put_UndoDisabledMode, VARIANT_FALSE); });
    RestoreStep(L"~UndoDisabledGuard", [this] { V5Put(document5_, IVel5Document3D::UndoRecording, true); });
}

PhantomGuard::PhantomGuard(IVel5Document3D* document, IVel5Part* part)
{
    placement_ = ObjectAs<IVel5PlacementInfo>(V5Method(document, IVel5Document3D::PlacementInfo, part));
    if (!static_cast<bool>(V5Method(placement_, IVel5PlacementInfo::PhantomReady)))
        throw std::wstring(L"Can't create phantom");
    part_ = ObjectAs<IVel5Part>(V5Method(placement_, IVel5PlacementInfo::Part));

    PartialSwitches switched(L":PhantomGuard");
    savedLook_ = static_cast<long>(V5Get(part_, IVel5Part::PhantomLook));
    V5Put(part_, IVel5Part::PhantomLook, 0L);
    switched.Add([this] { V5Put(part_, IVel5Part::PhantomLook, savedLook_); });
    color_ = ObjectAs<IVel5ColorParam>(V5Method(part_, IVel5Part::ColorParam));
    savedShade_ = static_cast<double>(V5Get(color_, IVel5ColorParam::PhantomShade));
    V5Put(color_, IVel5ColorParam::PhantomShade, 0.35);
    switched.Add([this] { V5Put(color_, IVel5ColorParam::PhantomShade, savedShade_); });
    V5Method(part_, IVel5Part::Update);
    switched.Commit();
}

PhantomGuard::~PhantomGuard()
{
    RestoreStep(L"~PhantomGuard", [this] { V5Put(color_, IVel5ColorParam::PhantomShade, savedShade_); });
    RestoreStep(L"~PhantomGuard", [this] { V5Put(part_, IVel5Part::PhantomLook, savedLook_); });
    RestoreStep(L"~PhantomGuard", [this] { V5Method(part_, IVel5Part::Update); });
}

DocumentStateGuard::DocumentStateGuard(IVel5Document3D* document, IDispatch* object) : document_(document)
{
    if (!object)
        return;
    auto current = ObjectAs<IVel5Object>(V5Get(document_, IVel5Document3D::CurrentObject));
    auto owner = ObjectAs<IVel5Object>(V5Method(object, IVel5Entity::Owner));
    if (SameObject(current, owner))
        return;
    V5Method(document_, IVel5Document3D::SetCurrentObject, owner);
    previous_ = current;
}

DocumentStateGuard::~DocumentStateGuard()
{
    if (previous_)
        RestoreStep(L"~DocumentStateGuard", [this] { V5Method(document_, IVel5Document3D::SetCurrentObject, previous_); });
}

SpcCreateGuard::SpcCreateGuard(IVel7SpcDescription* description)
{
    if (!description || V7Get(description, &IVel7SpcDescription::get_UpdateMode) == VARIANT_FALSE)
        return;
    PartialSwitches switched(L":SpcCreateGuard");
    V7Call(description, &IVel7SpcDescription::put_UpdateMode, VARIANT_FALSE);
    switched.Add([description] { V7Call(description, &IVel7SpcDescription::put_UpdateMode, VARIANT_TRUE); });
    V7Get(description, &IVel7SpcDescription::Update);
    switched.Commit();
    description_ = description;
}

SpcCreateGuard::~SpcCreateGuard()
{
    if (!description_)
        return;
    RestoreStep(L"~SpcCreateGuard", [this] { V7Call(description_, &IVel7SpcDescription::put_UpdateMode, VARIANT_TRUE); });
    RestoreStep(L"~SpcCreateGuard", [this] { V7Get(description_, &IVel7SpcDescription::Update); });
}

FragmentInsertGuard::FragmentInsertGuard(IVel5Application* application, short kind) : application_(application)
{
    document_ = ObjectAs<IVel5Document2D>(V5Method(application_, IVel5Application::NewTemporaryDocument2D));
    auto parameters = ObjectAs<IVel5DocumentParam>(V5Method(application_, IVel5Application::NewStructure, short{35}));
    V5Put(parameters, IVel5DocumentParam::Mode, short{1});
    V5Put(parameters, IVel5DocumentParam::Kind, kind);
    V5Method(document_, IVel5Document2D::OpenTemporary, parameters);
}

FragmentInsertGuard::~FragmentInsertGuard()
{
    RestoreStep(L"~FragmentInsertGuard", [this] { V5Method(document_, IVel5Document2D::CloseTemporary); });
    RestoreStep(L"~FragmentInsertGuard", [this] { V5Method(application_, IVel5Application::Refresh); });
}
