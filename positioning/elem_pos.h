#pragma once
// One placement of one copy of a constructive element: its numbers, the host objects it is placed by,
// and the temporary geometry that shows it while the user positions it. Copying a record shares the host
// objects.
#include "core/com.h"

#include <cstdint>

struct ElemPos {
    // Two-planes modes: the point in the start plane (X, Y) and a polar shift from it (R, A). Round
    // surfaces: the shift along the axis (X), the turn about it (Y) and its direction (A = -1 reverses).
    double X = 0;
    double Y = 0;
    double R = 0;
    double A = 0;
    double SavedX = 0;   // X and Y of the sub-mode "От двух ребер" while another is active
    double SavedY = 0;
    IDispatchPtr iCylFace;
    IDispatchPtr iEdge1;
    IDispatchPtr iEdge2;
    IDispatchPtr iCylEdge;
    IDispatchPtr iVertex;
    IDispatchPtr iDirObj;
    IDispatchPtr iSketch;
    IDispatchPtr iOffsetPlane;
    IDispatchPtr iAxis;
    IDispatchPtr iBasePlane;
    IDispatchPtr iAuxLine;
    IDispatchPtr iFrame;
    _bstr_t SubMode;     // the two-planes sub-mode text; empty after Clear
    int16_t Sign1 = 1;
    int16_t Sign2 = 1;

    // Releases every reference, numbers 0, signs +1, no sub-mode.
    void Clear();
    // Shares the source's references and copies its numbers, signs and sub-mode.
    void CopyFrom(const ElemPos& source);
    // The index of SubMode among the four sub-mode texts (exact, case-sensitive); -1 for none.
    int GetSubModeIndex() const;
    // Lets go of the references the sub-mode of that index does not use; -1 keeps them all.
    void ClearUnusedRefs(int subMode);
};

// The sub-modes of the two-planes modes, by index, as they are stored with an element.
inline constexpr const wchar_t* kSubModeNames[] = {L"По координатам", L"От двух ребер", L"Центр круглого ребра",
                                                   L"По вершине"};
enum SubModeIndex : int { SubModeByCoordinates = 0, SubModeFromTwoEdges = 1, SubModeRoundEdgeCentre = 2, SubModeVertex = 3 };
