#pragma once
// The library part a component belongs to: the outermost of the parts above it that the library
// flagged (a part of a placed component's model stands for the component).
#include "hostapi/velmar5.h"

// Up from the part while the part is flagged (its 4 without arguments) and has an owner (25 with -1);
// the part itself when it is not flagged or has no owner.
IVel5PartPtr GetOutermostFlaggedPart(IVel5Part* part);
