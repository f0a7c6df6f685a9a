#include "positioning/elem_pos.h"

#include "core/trace_log.h"

#include <iterator>
#include <string>

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

int ElemPos::GetSubModeIndex() const
{
    const wchar_t* text = SubMode;
    const std::wstring name = text ? std::wstring(text, SubMode.length()) : std::wstring();
    for (int i = 0; i < static_cast<int>(std::size(kSubModeNames)); ++i)
        if (name == kSubModeNames[i])
            return i;
    return -1;
}

void ElemPos::ClearUnusedRefs(int subMode)
{
    TraceScope scope(L"ElemPos::ClearUnusedRefs");
    scope.Value(L"subMode", _variant_t(static_cast<long>(subMode)));
    if (subMode < 0 || subMode > SubModeVertex)
        return;
    if (subMode != SubModeFromTwoEdges) {
        iEdge1 = nullptr;
        iEdge2 = nullptr;
    }
    if (subMode != SubModeRoundEdgeCentre)
        iCylEdge = nullptr;
    if (subMode != SubModeVertex)
        iVertex = nullptr;
}
