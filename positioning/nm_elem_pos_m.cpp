#include "positioning/nm_elem_pos_m.h"

#include "core/trace_log.h"

NMElemPosM::NMElemPosM(IVel5Application* app5, IVel7Application* app7, PositioningMode mode)
    : NMElemPos(app5, app7, mode)
{
    TraceScope scope(L":NMElemPosM(PositioningMode)");
    scope.Value(L"PosMode", _variant_t(static_cast<long>(mode)));
}

void NMElemPosM::CreateGeom(ElemPos&)
{
    throw _com_error(E_NOTIMPL);
}

double NMElemPosM::CalcHeight(ElemPos&, IDispatch*)
{
    throw _com_error(E_NOTIMPL);
}

void NMElemPosM::UpdateHeight()
{
    throw _com_error(E_NOTIMPL);
}

bool NMElemPosM::RecreateGeom(ElemPos&, bool)
{
    throw _com_error(E_NOTIMPL);
}

void NMElemPosM::ApplyPosition(ElemPos&)
{
    throw _com_error(E_NOTIMPL);
}
