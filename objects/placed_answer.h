#pragma once
// What the reference book answers for parts placed earlier: the members it lists for a set's identifier, and
// a member's answer for its own identifier.
#include "hostapi/reference_book.h"

#include <string>
#include <vector>

class NMObject;

// The identifiers of the members the reference book lists for a set's identifier, in the set's order (a line
// of its text each); none where it lists none.
std::vector<std::wstring> ListedMemberIds(INMClient* client, const std::wstring& setId);

// Loads into the object the reference book's answer for a placed part's identifier, asked in the host's
// context ("ВЕЛМАР 2D", "ВЕЛМАР 3D"). BadResponse "No response" or "No objects in response", or of a value
// that does not read.
void LoadPlacedAnswer(NMObject& object, INMClient* client, const std::wstring& id, const std::wstring& context);
