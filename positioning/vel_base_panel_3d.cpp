#include "positioning/vel_base_panel_3d.h"

#include "core/module.h"
#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/mate_queries.h"

VelBasePanel3D::VelBasePanel3D(IVel5Application* application5, IVel7Application* application7,
                               const std::wstring& headerCaption, const std::wstring& pageCaption,
                               uint32_t processMode, IVel5PlacementInfo* requestInfo, uint32_t helpId, bool headerStyle)
    : VelBasePanel(application5, application7, headerCaption, pageCaption, helpId, headerStyle), ProcessMode(processMode)
{
    TraceScope scope(L":VelBasePanel3D");
    iDoc = RequireHost(ObjectAs<IVel5Document3D>(V5Method(iApp5, IVel5Application::ActiveDocument3D)));
    iTopPart = RequireHost(GetTopPart(iDoc));
    iRequestInfo = requestInfo;
    if (!iRequestInfo)
        iRequestInfo = RequireHost(ObjectAs<IVel5PlacementInfo>(V5Method(iDoc, IVel5Document3D::PlacementInfo, iTopPart)));
    const long module = ModuleHandleForVelmar();
    scope.Hex(L"module", module);
    V5Method(iRequestInfo, IVel5PlacementInfo::PickCallback, L"SELECTCALLBACKPROC", module, static_cast<IDispatch*>(nullptr));
    V5Method(iRequestInfo, IVel5PlacementInfo::FilterCallback, L"SELECTFILTERPROC", module, static_cast<IDispatch*>(nullptr));
    V5Method(iRequestInfo, IVel5PlacementInfo::SetPropertyManager, iPropMng);
    iSelection1 = RequireHost(ObjectAs<IVel5Selection>(V5Method(iDoc, IVel5Document3D::SelectionA)));
    iSelection2 = RequireHost(ObjectAs<IVel5Selection>(V5Method(iDoc, IVel5Document3D::SelectionB)));
    V5Method(iSelection1, IVel5Selection::Clear);
    V5Method(iSelection2, IVel5Selection::Clear);
}

VelBasePanel3D::~VelBasePanel3D() = default;

bool VelBasePanel3D::Run()
{
    TraceScope scope(L"VelBasePanel3D::Run");
    std::exception_ptr failure;
    bool accepted = false;
    try {
        // What the panel highlighted while it was built is cleared below also when the process never starts.
        V5Method(iApp5, IVel5Application::BeforeProcess);
        BeforeRun();
        accepted = WhileListening([&] {
            return static_cast<bool>(V5Method(iDoc, IVel5Document3D::RunProcess, static_cast<long>(ProcessMode)));
        });
        scope.Value(L"accepted", accepted);
        if (accepted)
            OnAccepted();
        else
            OnCancelled();
    } catch (...) {
        failure = std::current_exception();
    }
    // The highlight sets are emptied whatever the process and the panel's answer to it did, each on its own.
    for (IVel5Selection* selection : {iSelection1.GetInterfacePtr(), iSelection2.GetInterfacePtr()}) {
        try {
            V5Method(selection, IVel5Selection::Clear);
        } catch (...) {
            if (failure)
                TraceCurrentException(L"VelBasePanel3D::Run");
            else
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
    return accepted;
}

void VelBasePanel3D::EndProcess()
{
    V5Method(iDoc, IVel5Document3D::EndProcess);
}

void VelBasePanel3D::ShowPrompt()
{
    V5Put(iRequestInfo, IVel5PlacementInfo::Prompt, _bstr_t(BuildPrompt().c_str()));
    V5Method(iDoc, IVel5Document3D::ShowChanges);
}

void VelBasePanel3D::HighlightObject(IDispatch* object)
{
    if (object)
        V5Method(HighlightSet ? iSelection1 : iSelection2, IVel5Selection::Add, object);
}

void VelBasePanel3D::UnhighlightObject(IDispatch* object)
{
    if (object)
        V5Method(HighlightSet ? iSelection1 : iSelection2, IVel5Selection::Remove, object);
}

void VelBasePanel3D::UnhighlightEverywhere(IDispatch* object)
{
    if (!object)
        return;
    V5Method(iSelection1, IVel5Selection::Remove, object);
    V5Method(iSelection2, IVel5Selection::Remove, object);
}

IDispatchPtr VelBasePanel3D::SetSelectedObject(PosPanelMate& record, IDispatch* object)
{
    // The set a pick was highlighted in is not remembered, and a panel may show it in the other as well.
    UnhighlightEverywhere(record.iface);
    if (record.PickAgainClears && SameHostObject(record.iface, object)) {
        record.iface = nullptr;
        return nullptr;
    }
    record.iface = object;
    HighlightObject(object);
    return record.iface;
}
