#pragma once
// Which objects of an inserted fragment become the part's drawing. Construction aids never do; lines,
// arcs, circles and the like do unless they are drawn in the auxiliary style; everything else does.
#include "core/com.h"

// How an object type is decided: never, always, or by the style read with a parameter structure.
struct FragmentAdmission {
    enum class Rule { Never, Always, ByStyle };
    Rule rule = Rule::Always;
    short structureKind = 0;         // ByStyle: the application's structure kind its parameters are read into
    const IID* structureIid = nullptr;
    DISPID styleProperty = 0;        // ByStyle: the style's property in that structure
};

FragmentAdmission FragmentAdmissionOf(long objectType);

// A style read for a ByStyle type admits the object unless it is the auxiliary style.
bool AdmitsStyle(long style);
