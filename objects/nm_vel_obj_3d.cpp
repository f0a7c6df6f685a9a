#include "objects/nm_vel_obj_3d.h"

#include "core/translate.h"
#include "core/vbscript_host.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/mate_queries.h"
#include "hostapi/vtable_call.h"
#include "hostapi/host_window.h"

namespace {

std::int64_t Address(IUnknown* object)
{
    return reinterpret_cast<std::int64_t>(object);
}

} // namespace

NMVelObj3D::NMVelObj3D(IVel5Application* app5, IVel7Application* app7, INMClient* client, bool isSpecActive)
    : NMVelObj(app5, app7, client, isSpecActive, true)
{
    TraceScope scope(L":NMVelObj3D");
    if (!iApp5)
        RaiseNullHostPointer(__uuidof(IVel5Application));
    if (!iApp7)
        RaiseNullHostPointer(__uuidof(IVel7Application));
    iDoc5 = ObjectAs<IVel5Document3D>(V5Method(iApp5, IVel5Application::ActiveDocument3D));
    iDoc7 = QueryHostOrNull<IVel7Document3D>(V7Get(iApp7, &IVel7Application::get_ActiveDocument));
    if (iDoc5) {
        iTopPart5 = GetTopPart(iDoc5);
        // A document without a top part has nothing to convert.
        if (iTopPart5)
            iTopPart7 = ObjectAs<IVel7Part>(V5Method(iApp5, IVel5Application::ToLayer, iTopPart5,
                                                     static_cast<long>(VelLayer7), static_cast<long>(VelTypeNone)));
    }
    scope.Hex(L"iDoc5", Address(iDoc5));
    scope.Hex(L"iDoc7", Address(iDoc7));
    scope.Hex(L"iTopPart5", Address(iTopPart5));
    scope.Hex(L"iTopPart7", Address(iTopPart7));
}

NMVelObj3D::~NMVelObj3D()
{
    try {
        TraceScope scope(L"~NMVelObj3D");
    } catch (...) {
        // The trace is all a destructor writes; the members release themselves.
    }
}

uint32_t NMVelObj3D::Apply()
{
    TraceScope scope(L"NMVelObj3D::Apply");
    try {
        return NMVelObj::Apply();
    } catch (const VBScriptError&) {
        // The script may have built part of the element: Velmar's own undo takes that step back.
        if (!iApp7)
            RaiseNullHostPointer(__uuidof(IVel7Application));
        UndoLastStep(scope);
        HostMessageBox(iApp7, Translate(L"Не удалось построить конструктивный элемент.\r\n"
                                        L"Проверьте правильность позиционирования."),
                       48);
        return state;
    }
}

bool NMVelObj3D::UndoLastStep(TraceScope& scope)
{
    if (!iApp5)
        RaiseNullHostPointer(__uuidof(IVel5Application));
    const bool undone =
        static_cast<bool>(V5Method(iApp5, IVel5Application::ExecuteCommand, static_cast<long>(VelCommandEditUndo), false));
    scope.Value(L"iVObj->vlExecuteVelmarCommand(vlCMEditUndo, VARIANT_FALSE)", _variant_t(undone ? -1L : 0L));
    return undone;
}

void NMVelObj3D::UndoableStep(const std::function<void()>& step)
{
    changed_ = false;
    try {
        step();
    } catch (const VBScriptError&) {
        throw;
    } catch (...) {
        if (changed_) {
            // What the step left half done goes; the failure is still reported.
            try {
                TraceScope scope(L"NMVelObj3D::UndoFailedStep");
                UndoLastStep(scope);
            } catch (...) {
                TraceCurrentException(L"NMVelObj3D::UndoFailedStep");
            }
        }
        throw;
    }
}

bool NMVelObj3D::CanUseOldSpcObj(const SpcDocContext& context)
{
    return state == StateEdit && NMVelObj::CanUseOldSpcObj(context);
}
