#include "positioning/vel_base_panel_2d.h"

#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/vtable_call.h"

namespace {

constexpr short kPlacementInfoKind = 10;

} // namespace

VelBasePanel2D::VelBasePanel2D(IVel5Application* application5, IVel7Application* application7,
                               const std::wstring& headerCaption, const std::wstring& pageCaption,
                               IDispatch* placementInfo, IDispatch* placedObject, uint32_t helpId, bool headerStyle)
    : VelBasePanel(application5, application7, headerCaption, pageCaption, helpId, headerStyle), iPlacedObject(placedObject)
{
    TraceScope scope(L":VelBasePanel2D");
    iDoc2D = RequireHost(ObjectAs<IVel5Document2D>(V5Method(iApp5, IVel5Application::ActiveDocument2D)));
    if (placementInfo) {
        iPlacementInfo = RequireHost(QueryHost<IVel5RequestInfo2D>(placementInfo));
    } else {
        iPlacementInfo = RequireHost(ObjectAs<IVel5RequestInfo2D>(V5Method(iApp5, IVel5Application::NewStructure, kPlacementInfoKind)));
        V5Method(iPlacementInfo, IVel5RequestInfo2D::Init);
    }
    V5Put(iPlacementInfo, IVel5RequestInfo2D::Setting5, 0L);
}

VelBasePanel2D::~VelBasePanel2D() = default;

bool VelBasePanel2D::Run()
{
    TraceScope scope(L"VelBasePanel2D::Run");
    V5Method(iApp5, IVel5Application::BeforeProcess);
    BeforeRun();
    V7Call(iPropMng, &IVel7PropertyManager::put_Setting16, VARIANT_TRUE);
    const long result = WhileListening([&] {
        return static_cast<long>(V5Method(iDoc2D, IVel5Document2D::PlacementProcess, iPlacementInfo, ByRef(X), ByRef(Y),
                                          ByRef(Angle), iPlacedObject, iPropMng));
    });
    scope.Value(L"result", result);
    if (result)
        OnAccepted();
    else
        OnCancelled();
    return result != 0;
}

void VelBasePanel2D::EndProcess()
{
    V7Call(iApp7, &IVel7Application::EndProcess, -1L, 0L);
}
