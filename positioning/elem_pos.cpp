#include "positioning/elem_pos.h"

#include "core/trace_log.h"

void ElemPos::Clear()
{
    TraceScope scope(L"ElemPos::Clear");
    *this = ElemPos();
}

void ElemPos::CopyFrom(const ElemPos& source)
{
    TraceScope scope(L"ElemPos::CopyFrom");
    if (&source != this)
        *this = source;
}
