#pragma once
// The tests a positioning panel's selection filter puts to an object Velmar offers for picking. Each
// takes the picked entity and the filter's 16-bit highlight flag and answers whether the entity may be
// picked. The face tests built on IsFaceWithSurfaceFlag set the flag to -1 when the face passes its
// surface test; IsPlaneEntity and IsType519OrType7Flag set it to 0 when they pass; the others leave it
// alone. A null flag pointer is not written.
//
// A null entity or a missing object on the way gives false, except in IsPlaneEntity and
// IsType519OrType7Flag, which raise E_POINTER where they say so. Every failing host call raises
// _com_error; the exported selection filter catches it.
#include "hostapi/velmar5.h"

// Type 6, and the chain entity 15 → {CFC49C01-…} 3 → {03EFC9DD-…} answers true to 3.
bool IsFaceWithSurfaceFlag(IVel5Entity* entity, short* flag);
// IsFaceWithSurfaceFlag, and the face definition answers true to its test 1, 2 or 3. The flag stays set
// when the surface test passed even if the definition's test fails.
bool IsFaceVariant1(IVel5Entity* entity, short* flag);
bool IsFaceVariant2(IVel5Entity* entity, short* flag);
bool IsFaceVariant3(IVel5Entity* entity, short* flag);

bool IsEntityType18or553(IVel5Entity* entity, short* flag);
// Types 9 to 13 and the three coordinate axes 71 to 73.
bool IsAxisEntity(IVel5Entity* entity, short* flag);
// Type 7 whose edge definition answers true to its test 9 (a circular edge).
bool IsType7WithFlag9(IVel5Entity* entity, short* flag);
// Type 570, or type 7 whose edge definition answers true to its test 1 (a straight edge).
bool IsType570OrType7WithFlag1(IVel5Entity* entity, short* flag);

// True when the entity's part must not be picked from: host 15.0.0 or later (the held version-5
// application), and the part's version-7 form answers true to method 64. Below 15.0.0 the entity is not
// asked anything.
bool IsAPI7SelectionAvailable(IVel5Entity* entity, short* flag);

// Types 1, 2, 3, 14 to 23, 66 and 553; sets the flag to 0 when true. A null entity raises E_POINTER.
bool IsPlaneEntity(IVel5Entity* entity, short* flag);
// Type 519, or type 7 whose edge definition answers true to its test 8, 9 or 10 (tried in that order);
// sets the flag to 0 when true. A null entity, or a type-7 entity without an edge definition, raises
// E_POINTER.
bool IsType519OrType7Flag(IVel5Entity* entity, short* flag);
