#pragma once
// Position leaders of 3D documents and the parts they point at: which part an anchor lies on, what kind
// a leader is, putting an anchor on a part's geometry, and a copy of a leader with all its settings on
// another part, for a component that is replaced.
//
// Every failing host call raises _com_error carrying the called interface's IID; an object a call needs
// and does not get raises E_POINTER.
#include "core/obj_array.h"
#include "hostapi/velmar5.h"
#include "hostapi/velmar7.h"

// The outermost part of a nesting of parts whose boolean 4 is set: from the part, as long as the part
// reached has the flag, its owner (25 with -1); the walk stops at a part without the flag, and a part
// whose owner is missing or has no flag is the answer itself.
IVel5PartPtr GetOutermostFlaggedPart(IVel5Part* part);

// The first part, depth first through the feature trees, whose 22 answers true: the part itself, else
// the parts of type 104 reached through its bridge; the part itself when none answers.
IVel5PartPtr SetPosLeaderParts(IVel5Part* part);

// Puts an anchor of the leader on the first vertex of the part's faces that the leader takes: a new
// anchor (16, on the vertex's face) for an index below 0, else the anchor of that index moved there
// (11). Nothing changes when no vertex is taken.
void MovePosLeaderGeometry(IVel5Application* application, IVel5Part* part, IVel7LeaderAnchors* leader, long index);

// An anchor of the leader lies on the part: the anchored object, as the outermost flagged part, is the
// part (by identity).
bool GetPosLeadersOfPart(IVel5Application* application, IVel5Part* part, IVel7LeaderAnchors* leader);

// 86, 89, 90 or 105 by the first kind interface the leader answers (A741, A822, EEF8, 8A5D in that
// order); 87 for any other leader.
long GetPosLeaderKind(IDispatch* leader);

// The kind of a position leader proper, the one a line of the bill of materials includes for its number.
constexpr long kPositionLeaderKind = 89;
// The kinds a replaced component hands on to the one that replaces it (86, 89, 90, 105).
bool IsHandedOnLeaderKind(long kind);

// A new leader of a kind code in the collection with the settings every kind shares, its first anchor on
// the part and its point where the source's lies, in the plane the leader names. A part that gives the
// new leader no anchor takes it out again: the answer is null (traced) and the source is left as it is.
IVel7LeaderPtr CopyPosLeaderParams(IVel5Application* application, IVel7Leaders* leaders, IVel7Leader* source, long code,
                                   IVel5Part* part);

// The copies of each kind: the shared settings, then the kind's own properties and texts; once the new
// leader has updated, the source leaves the document. Null when the part gave no anchor.
IVel7LeaderA822Ptr CopyPosLeaderA822(IVel5Application* application, IVel7Leaders* leaders, IVel7LeaderA822* source, IVel5Part* part);
IVel7LeaderA741Ptr CopyPosLeaderA741(IVel5Application* application, IVel7Leaders* leaders, IVel7LeaderA741* source, IVel5Part* part);
IVel7LeaderEEF8Ptr CopyPosLeaderEEF8(IVel5Application* application, IVel7Leaders* leaders, IVel7LeaderEEF8* source, IVel5Part* part);
IVel7Leader8A5DPtr CopyPosLeader8A5D(IVel5Application* application, IVel7Leaders* leaders, IVel7Leader8A5D* source, IVel5Part* part);

// The copy of its kind (GetPosLeaderKind) of a leader on the part: null for a kind no copy is made of, and
// where the part gave no anchor.
IDispatchPtr CopyPosLeaderOfKind(IVel5Application* application, IVel7Leaders* leaders, IDispatch* source, long kind, IVel5Part* part);

// The leader leaves the document (its parameter object's remove).
void RemovePosLeader(IUnknown* leader);

// The leader collection of a 3D document (E_POINTER when it gives none).
IVel7LeadersPtr DocumentLeaders(IVel7Document3D* document);
// The leaders the document holds now, in its order.
ObjArray LeadersOfDocument(IVel7Document3D* document);
// The leaders of the document that one of the spc objects includes, each once, in the document's order: a
// leader taken out of the document is none of them, whatever a line may still list.
ObjArray LeadersHeldBy(IVel7Document3D* document, const ObjArray& spcObjects);
