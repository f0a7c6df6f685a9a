#include "positioning/nm_elem_pos_r.h"

#include "core/trace_log.h"

NMElemPosR::NMElemPosR(IVel5Application* app5, IVel7Application* app7, PositioningMode mode)
    : NMElemPos(app5, app7, mode)
{
    TraceScope scope(L":NMElemPosR(PositioningMode)");
    scope.Value(L"PosMode", _variant_t(static_cast<long>(mode)));
}

void NMElemPosR::CreateGeom(ElemPos&)
{
    throw _com_error(E_NOTIMPL);
}

double NMElemPosR::CalcHeight(ElemPos&, IDispatch*)
{
    throw _com_error(E_NOTIMPL);
}

void NMElemPosR::UpdateHeight()
{
    throw _com_error(E_NOTIMPL);
}

bool NMElemPosR::RecreateGeom(ElemPos&, bool)
{
    throw _com_error(E_NOTIMPL);
}

void NMElemPosR::ApplyPosition(ElemPos&)
{
    throw _com_error(E_NOTIMPL);
}
