#pragma once
// The source lists of arrays (patterns): which arrays follow a macro element or a part, and rewriting a
// list when the object it holds is replaced. The lists hold version-7 model objects.
//
// A missing parameter object raises E_POINTER; every failing host call raises _com_error.
#include "core/obj_array.h"
#include "hostapi/velmar7.h"

// Appends the add list to the pattern's source list and takes out the first occurrence (by identity) of
// each object of the remove list; writes the list back and updates the pattern. A pattern that follows
// its sources has its switch off for the rewrite and on again afterwards, also when a call fails.
void ReplacePartInPattern(IVel7Pattern* pattern, const ObjArray& add, const ObjArray& remove);

// ReplacePartInPattern for every entry that is a pattern; other entries are passed over.
void ReplacePartInPatterns(const ObjArray& patterns, const ObjArray& add, const ObjArray& remove);

// The document's patterns whose source is a macro (IsMacroPatternSource) and whose source list holds one
// of the parts, once for each part it holds: callers that rewrite them make the list unique first.
ObjArray ReplacePartInPatternsAPI7(IVel7Document3D* document, const ObjArray& parts);

// True when the pattern's source is an object other than an entity (type 105), or an entity that is a
// macro element (type 63); false when it has no source.
bool IsMacroPatternSource(IDispatch* pattern);

// The document's patterns in the order of its pattern collection.
ObjArray DocumentPatterns(IVel7Document3D* document);
