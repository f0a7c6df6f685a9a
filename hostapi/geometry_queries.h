#pragma once
// Geometric facts about the entities the user picks in a Velmar part: the two points of an axis, a
// direction or point carried from one part's coordinates into another's, the values of a cylindrical
// face, which side of a cylinder a face looks to, the two faces at a circular edge, the values of a
// thread and the geometric base of a plane or face. None of them changes the document.
//
// A null entity or part raises E_POINTER, except in GetCurvePoint, which then leaves the point as it is.
// A missing definition gives the answer each function states. Every failing host call raises _com_error.
#include "hostapi/velmar5.h"

// Two points of an axis. The first point starts at the origin. Types 71, 72, 73 (the coordinate axes):
// the second point becomes the unit point of the axis. Types 9 to 13: both points come from the axis
// curve at its first and last parameter; a definition without the axis interface of its type raises
// E_POINTER, a missing curve leaves the second point as given. Other types leave the second point as
// given.
void GetAxisPoints(IVel5Entity* entity, double& x1, double& y1, double& z1, double& x2, double& y2, double& z2);

// A direction given in the coordinates of the entity's part, converted into the target part's: both
// ends of the vector are converted (target's dispatch id 45) and subtracted. Unchanged when the entity
// has no part.
void GetCurveEndPoints(IVel5Part* target, IVel5Entity* entity, double& x, double& y, double& z);

// A point of the entity's part converted into the target part's coordinates when the two parts differ.
void GetCurvePoint(IVel5Part* target, IVel5Entity* entity, double& x, double& y, double& z);

// The two values of a cylindrical face's definition (dispatch id 4) are (length, radius):
// GetCylinderParam1 gives the radius, the second; GetCylinderParam2 the length, the first. 0.0 without a
// face definition.
double GetCylinderParam1(IVel5Entity* entity);
double GetCylinderParam2(IVel5Entity* entity);

// True for an outer cylindrical face (a shaft): the face's normal points away from the cylinder's axis.
// False without a face definition; a missing surface, cylinder or axis raises E_POINTER.
bool IsCylindricalFace(IVel5Entity* entity);

// The planar face (test 1) and the cylindrical face (test 3) on the two sides of an edge, whichever
// side each lies on: -1 when found, else 0 with both outputs untouched.
long GetEdgeCircle(IVel5Entity* edge, IVel5EntityPtr& planarFace, IVel5EntityPtr& cylindricalFace);

// The thread definition's boolean 4 (an outer thread); E_POINTER without a thread definition.
bool GetThreadFlag(IVel5Entity* entity);
// The thread definition's value 1; 0.0 without one.
double GetThreadParam1(IVel5Entity* entity);
// The thread definition's value 2, plus the offset of its base when the base is an offset plane (type
// 14); E_POINTER without a thread definition.
double GetThreadParam2(IVel5Entity* entity);
// The thread definition's value 3; 0.0 without one.
double GetThreadParam3(IVel5Entity* entity);

// The geometric base of a plane (types 1, 2, 3, 14 to 23, 66) or a face (6) from the definition of its
// kind; null for other types or without that definition.
void GetEntityGeometry(IVel5Entity* entity, IDispatchPtr& base);
